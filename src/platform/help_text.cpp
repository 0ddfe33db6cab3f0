#include "platform/help_text.h"

namespace orti {

std::string EnvironmentAndFilesHelp(HelpFor program) {
  const bool console = program == HelpFor::kConsole;
  std::string text =
      "Environment:\n"
      "  ORTI415_HOME      the program folder, created when missing\n"
      "  ORTI415_PORTS     port numbers for devices, e.g. \"1=/dev/serial/by-id/...\";\n"
      "                    the other numbers 1..63 go to /dev/ttyS*, ttyUSB*, ttyACM*,\n"
      "                    ttyAMA*, ttyXRUSB*, rfcomm*, in that order\n"
      "  ORTI415_TRACE     append every request and reply on the serial line to this file\n"
      "  ORTI415_ARCHIVE   the archive file instead of the per-user archive.sqlite\n"
      "  ORTI415_SERVER    the lab's PostgreSQL archive server, a libpq connection\n"
      "                    string without a password (else [Archive] Server= of\n"
      "                    orti415.ini)\n"
      "  ORTI415_WORKSTATION\n"
      "                    this computer's name in the archive (readings, changes made\n"
      "                    to instruments) instead of the host name\n"
      "  XDG_DATA_HOME     where the per-user data folder lies (default ~/.local/share)\n"
      "  HOME              the user's home folder\n";
  if (console) {
    text +=
        "  DISPLAY, WAYLAND_DISPLAY\n"
        "                    the display the windows open on (X11, Wayland); without one\n"
        "                    the console says so and ends with status 1\n"
        "  QT_QPA_PLATFORM   Qt's window system (xcb, wayland, offscreen)\n";
  }
  text +=
      "\n"
      "Files:\n"
      "  orti415.ini       settings and operators, in the program folder\n";
  if (console) text += "  orti-415.txt      the saved work log, in the program folder\n";
  text +=
      "  backups/          in the program folder: the instrument's folder blocks, saved\n"
      "                    before they are written\n"
      "  archive.sqlite    every measurement read, in $XDG_DATA_HOME/orti415\n"
      "The program folder is $ORTI415_HOME when set, else the executable's folder when\n"
      "it holds orti415.ini, is writable and is not under /usr, else\n"
      "$XDG_DATA_HOME/orti415 (~/.local/share/orti415).\n";
  return text;
}

}  // namespace orti
