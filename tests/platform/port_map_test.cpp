#include "platform/port_map.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "support/temp_dir.h"

namespace orti {
namespace {

PortMapSources Sources(std::string variable, std::vector<std::string> nodes) {
  PortMapSources s;
  s.portsVariable = std::move(variable);
  s.deviceNodes = std::move(nodes);
  s.hasHardware = [](const std::string& path) { return path != "/dev/ttyS2"; };
  return s;
}

TEST(PortMap, DevicesTakeNumbersByFamilyThenNumericOrder) {
  const PortMap map(Sources(
      "", {"/dev/ttyUSB10", "/dev/ttyACM0", "/dev/ttyUSB2", "/dev/ttyS1", "/dev/tty0", "/dev/ttyS2",
           "/dev/ttyS0", "/dev/ttySAC0", "/dev/null", "/dev/pts/3", "/dev/ttyUSB"}));
  const std::map<int, std::string> expected = {{1, "/dev/ttyS0"},
                                               {2, "/dev/ttyS1"},
                                               {3, "/dev/ttyUSB2"},
                                               {4, "/dev/ttyUSB10"},
                                               {5, "/dev/ttyACM0"}};
  EXPECT_EQ(map.Entries(), expected);
  EXPECT_EQ(map.DevicePath(0), "");
  EXPECT_EQ(map.DevicePath(6), "");
}

TEST(PortMap, LaterKindsComeAfterTheFirstThreeWithoutRenumberingThem) {
  const PortMap map(Sources("", {"/dev/rfcomm0", "/dev/ttyXRUSB1", "/dev/ttyAMA0", "/dev/ttyACM0",
                                 "/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyXRUSB0", "/dev/rfcomm"}));
  const std::map<int, std::string> expected = {
      {1, "/dev/ttyS0"},     {2, "/dev/ttyUSB0"},   {3, "/dev/ttyACM0"}, {4, "/dev/ttyAMA0"},
      {5, "/dev/ttyXRUSB0"}, {6, "/dev/ttyXRUSB1"}, {7, "/dev/rfcomm0"}};
  EXPECT_EQ(map.Entries(), expected);
}

TEST(PortMap, ExplicitNumbersComeFirstAndAreNotRepeated) {
  const PortMap map(
      Sources("3=/dev/pts/4,7=/dev/ttyUSB1",
              {"/dev/ttyUSB1", "/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyACM0", "/dev/ttyACM1"}));
  const std::map<int, std::string> expected = {{1, "/dev/ttyS0"},   {2, "/dev/ttyUSB0"},
                                               {3, "/dev/pts/4"},   {4, "/dev/ttyACM0"},
                                               {5, "/dev/ttyACM1"}, {7, "/dev/ttyUSB1"}};
  EXPECT_EQ(map.Entries(), expected);
}

TEST(PortMap, AFoundDeviceAMappedLinkNamesKeepsOnlyTheMappedNumber) {
  PortMapSources s = Sources("3=/dev/serial/by-id/usb-FTDI_A1-if00-port0,5=/dev/pts/4",
                             {"/dev/ttyUSB1", "/dev/ttyUSB0", "/dev/ttyS0"});
  s.resolve = [](const std::string& path) {
    return path.rfind("/dev/serial/", 0) == 0 ? std::string("/dev/ttyUSB1") : path;
  };
  const std::map<int, std::string> expected = {{1, "/dev/ttyS0"},
                                               {2, "/dev/ttyUSB0"},
                                               {3, "/dev/serial/by-id/usb-FTDI_A1-if00-port0"},
                                               {5, "/dev/pts/4"}};
  EXPECT_EQ(PortMap(s).Entries(), expected);
}

TEST(PortMap, MalformedAssignmentsAreIgnored) {
  const PortMap map(
      Sources("0=/dev/a,64=/dev/b,x=/dev/c,5=,=/dev/d,nonsense,,-1=/dev/e,"
              "007=/dev/f, 8=/dev/g,12=/dev/ok,12=/dev/later",
              {}));
  const std::map<int, std::string> expected = {{12, "/dev/later"}};
  EXPECT_EQ(map.Entries(), expected);
}

TEST(PortMap, NumbersStopAtSixtyThree) {
  std::vector<std::string> nodes;
  for (int i = 0; i < 80; ++i) nodes.push_back("/dev/ttyUSB" + std::to_string(i));
  const PortMap map(Sources("63=/dev/pts/1", nodes));
  EXPECT_EQ(map.Entries().size(), 63u);
  EXPECT_EQ(map.DevicePath(62), "/dev/ttyUSB61");
  EXPECT_EQ(map.DevicePath(63), "/dev/pts/1");
  EXPECT_EQ(map.DevicePath(64), "");
}

TEST(PortMap, EnvironmentIsRead) {
  ::setenv("ORTI415_PORTS", "9=/dev/pts/77", 1);
  const PortMapSources sources = CurrentPortMapSources();
  ::unsetenv("ORTI415_PORTS");
  EXPECT_EQ(sources.portsVariable, "9=/dev/pts/77");
  EXPECT_EQ(PortMap(sources).DevicePath(9), "/dev/pts/77");
  EXPECT_FALSE(sources.deviceNodes.empty());  // at least /dev/null

  test::TempDir dir;
  ASSERT_EQ(::symlink("/dev/null", dir.File("adapter").c_str()), 0);
  EXPECT_EQ(sources.resolve(dir.File("adapter")), "/dev/null");
  EXPECT_EQ(sources.resolve(dir.File("missing")), dir.File("missing"));
}

}  // namespace
}  // namespace orti
