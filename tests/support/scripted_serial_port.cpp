#include "support/scripted_serial_port.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace orti::test {

bool ScriptedSerialPort::Open(int portNumber) {
  EXPECT_FALSE(isOpen) << "port opened twice";
  openedPorts.push_back(portNumber);
  if (openError != 0) {
    lastError_ = openError;
    return false;
  }
  isOpen = true;
  ++successfulOpens;
  return true;
}

bool ScriptedSerialPort::Configure() {
  EXPECT_TRUE(isOpen);
  ++configures;
  if (configureError != 0) {
    lastError_ = configureError;
    return false;
  }
  return true;
}

bool ScriptedSerialPort::Write(const char* data, size_t size) {
  EXPECT_TRUE(isOpen);
  writes.emplace_back(data, size);
  if (clock) clock->Sleep(writeTakes);
  current_.clear();
  nextRead_ = 0;
  if (!answers_.empty()) {
    current_ = std::move(answers_.front());
    answers_.pop_front();
  }
  if (writeError != 0) {
    lastError_ = writeError;
    return false;
  }
  return true;
}

bool ScriptedSerialPort::Read(char* buffer, size_t capacity, size_t& received) {
  EXPECT_TRUE(isOpen);
  ++reads;
  received = 0;
  if (nextRead_ >= current_.size()) return true;
  const std::optional<std::string> chunk = current_[nextRead_++];
  if (!chunk) {
    lastError_ = EIO;
    return false;
  }
  // What does not fit stays for the next read, as in a driver's queue.
  received = std::min(capacity, chunk->size());
  std::memcpy(buffer, chunk->data(), received);
  if (received < chunk->size()) {
    current_.insert(current_.begin() + static_cast<long>(nextRead_), chunk->substr(received));
  }
  return true;
}

void ScriptedSerialPort::Close() {
  if (isOpen) ++closes;
  isOpen = false;
}

}  // namespace orti::test
