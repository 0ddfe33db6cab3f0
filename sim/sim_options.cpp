#include "sim/sim_options.h"

#include <cerrno>
#include <cstdlib>
#include <optional>

namespace orti::sim {

namespace {

// Decimal, or hexadecimal after "0x".
bool ParseUnsigned(const std::string& text, unsigned long max, unsigned long& value) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtoul(text.c_str(), &end, 0);
  return errno == 0 && end != text.c_str() && *end == '\0' && value <= max;
}

}  // namespace

bool ParseSimOptions(int argc, const char* const* argv, SimOptions& options, std::string& error) {
  options = SimOptions{};
  for (int i = 1; i < argc; ++i) {
    // "--name=value" is the same as "--name value".
    std::string arg = argv[i];
    std::optional<std::string> inlineValue;
    const size_t equals = arg.find('=');
    if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
      inlineValue = arg.substr(equals + 1);
      arg.erase(equals);
    }
    auto value = [&](std::string& out) {
      if (inlineValue) {
        out = *inlineValue;
        inlineValue.reset();
        return true;
      }
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return false;
      }
      out = argv[++i];
      return true;
    };
    std::string text;
    unsigned long number = 0;
    if (inlineValue &&
        (arg == "--help" || arg == "--version" || arg == "--pace" || arg == "--strict-erase")) {
      error = arg + " takes no value";
      return false;
    }
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--pace") {
      options.pacing = true;
    } else if (arg == "--strict-erase") {
      options.strictErase = true;
    } else if (arg == "--seed") {
      if (!value(text)) return false;
      if (!ParseUnsigned(text, 0xFFFFFFFFul, number)) {
        error = "bad seed \"" + text + "\"";
        return false;
      }
      options.seed = static_cast<uint32_t>(number);
    } else if (arg == "--image") {
      if (!value(options.imagePath)) return false;
    } else if (arg == "--link") {
      if (!value(options.linkPath)) return false;
    } else if (arg == "--notepad-address") {
      if (!value(text)) return false;
      if (!ParseUnsigned(text, kNotepadEnd, number)) {
        error = "bad notepad address \"" + text + "\" (0 to 64000)";
        return false;
      }
      options.notepadAddress = static_cast<uint16_t>(number);
    } else if (arg == "--latency") {
      if (!value(text)) return false;
      if (!ParseUnsigned(text, 60000, number)) {
        error = "bad latency \"" + text + "\" (milliseconds, at most 60000)";
        return false;
      }
      FaultRule rule;
      rule.kind = FaultKind::kLatency;
      rule.duration = std::chrono::milliseconds(number);
      options.faults.push_back(rule);
    } else if (arg == "--fault") {
      if (!value(text)) return false;
      FaultRule rule;
      if (!ParseFaultRule(text, rule, error)) return false;
      options.faults.push_back(rule);
    } else {
      error = "unknown option \"" + arg + "\"";
      return false;
    }
  }
  return true;
}

std::string SimUsage() {
  return "Usage: orti415-sim [options]\n"
         "Serves the pH-meter's serial protocol on a new pseudo-terminal and prints\n"
         "its device path on the first line of standard output. Ends on SIGTERM or SIGINT.\n"
         "\n"
         "  --seed N                generate the notepad from seed N (default 1)\n"
         "  --image FILE            keep the memory in FILE: loaded when it exists, else\n"
         "                          generated and saved; saved again after every write\n"
         "  --notepad-address N     notepad address to report and serve (default 12800)\n"
         "  --link PATH             make PATH a symbolic link to the device\n"
         "  --pace                  a real line: replies go out at 9600 baud, 11 bits per\n"
         "                          character, and requests take their time coming in\n"
         "  --latency MS            the turnaround: every reply starts MS milliseconds\n"
         "                          after its request's last character is in\n"
         "  --strict-erase          answer an error reply to a write into bytes that are\n"
         "                          not erased (0xFF) and do not already hold its data\n"
         "  --fault RULE            misbehave on chosen requests (may be repeated):\n"
         "      KIND[,on=identify|read|write|any][,nth=N][,OPTION=VALUE...]\n"
         "      no-reply   the request is lost\n"
         "      error      error reply with code=C (default 1) instead of carrying it out\n"
         "      name       identify answers with name=TEXT (default ОРТИ-416)\n"
         "      overlong   the reply is padded to 121 characters\n"
         "      split      the reply comes in two halves, ms=N apart (default 400)\n"
         "      garbage    characters text=TEXT before the \":\"\n"
         "      latency    the reply starts ms=N late; later replies wait for it\n"
         "      short      the reply lacks its last n=N digits (default 2), its LRC fits\n"
         "      lrc        the reply's LRC is wrong\n"
         "      echo       the reply echoes a wrong field=address|size|function|device\n"
         "                 (default address; address and size: read and write replies)\n"
         "      late       the reply is held back ms=N (default 400) while later replies\n"
         "                 go out on time, so it lands in a later exchange\n"
         "      noise      characters text=TEXT, else 1 to 16 random bytes, before the \":\"\n"
         "      unapplied  a write is answered as done but not carried out\n"
         "      unanswered a write is carried out but not answered\n"
         "      gone       a write is carried out, not answered, then the simulator ends\n"
         "      random     rate=P percent of replies get one random fault of short, lrc,\n"
         "                 echo, late, noise, split, overlong, no-reply, garbage, latency;\n"
         "                 seed=S (default 1) makes the run repeat\n"
         "      nth=N picks the N-th request of the kind named by on= (all kinds by default);\n"
         "      unapplied, unanswered and gone count writes only, an erase among them.\n"
         "      Examples: --fault no-reply,on=read,nth=3  --fault gone,nth=2\n"
         "                --fault random,rate=10,seed=7\n"
         "  --NAME=VALUE            the same as --NAME VALUE\n"
         "  --help, -h              this text\n"
         "  --version               the program's version\n";
}

std::string SimVersion() {
  return std::string("orti415-sim ") + ORTI415_VERSION + "\n";
}

}  // namespace orti::sim
