#include "cli/Commands.h"

#include <array>

#include "Common/ModuleVersion.h"
#include "app/Configuration.h"

namespace lanterna::cli {

namespace {

constexpr const char* kReadHelp = R"(Usage: lanterna-cli [OPTIONS] read

Identifies the connected device and reads its tables 0 and 100. The log goes to standard
error as it comes; the result goes to standard output: the identification, whether the
device is admissible, its pages, both tables and one KEY=VALUE line per parameter of every
page the device gets. Everything but the parameter lines is a comment ("#"), so the output
can be given to 'write --from' to copy the settings to another device.

With --json the result is one JSON object with the keys "ok", "identification", "admissible",
"is32", "is_pfc", "pages", "tables", "parameters" and "log".

Example:
  lanterna-cli --connection SIM read
)";

constexpr const char* kWriteHelp = R"(Usage: lanterna-cli [OPTIONS] write KEY=VALUE...
       lanterna-cli [OPTIONS] write --from FILE

Reads the device, sets the values on its pages as a user enters them in their fields (with
the same checks and range messages), commits the pages, writes tables 0 and 100, saves the
parameters, restarts the device and prints the result of reading it again.

A key, a value or a page that is refused stops the write before anything is written (exit
status 2). Keys are "SECTION.Name", as 'read' prints them and 'params' lists them; switches
take 1 or 0, lists take their item text, addresses a.b.c.d. FILE holds the lines a read
printed; blank lines and lines beginning with "#" are skipped.

Examples:
  lanterna-cli --connection SIM write TCPIP.IPAddress=10.1.2.3
  lanterna-cli read > device.txt; lanterna-cli write --from device.txt
)";

constexpr const char* kParamsHelp = R"(Usage: lanterna-cli [OPTIONS] params

Lists every parameter key with its page, type, registers, default and range (from the INI
file in use), without a device: the registers are those of the 32-bit generation. With
--connection it reads the device first and says whether the device has each parameter and
where its generation keeps it.
)";

constexpr const char* kRestartHelp = R"(Usage: lanterna-cli [OPTIONS] restart [--yes]

Reads the device, then restarts its firmware, waits for it and identifies it again. Asks
first on the terminal; --yes answers for you. Without a terminal and without --yes nothing
is done (exit status 2).
)";

constexpr const char* kDefaultHelp = R"(Usage: lanterna-cli [OPTIONS] default [--yes]

Reads the device, then sets it back to its factory default settings, saves them, restarts
it and identifies it again. Asks first on the terminal; --yes answers for you.
)";

constexpr const char* kExtractHelp = R"(Usage: lanterna-cli [OPTIONS] extract [--yes]

Reads the device, then extracts its file system and waits until the device is done. Asks
first on the terminal; --yes answers for you. Only devices of the 32-bit generation have a
file system.
)";

constexpr const char* kFormatHelp = R"(Usage: lanterna-cli [OPTIONS] format [--yes]

Reads the device, then formats its file system and waits until the device is done. Asks
first on the terminal; --yes answers for you.
)";

constexpr const char* kUploadHelp = R"(Usage: lanterna-cli --connection TCPIP:<host>[:<port>] upload FILE [--yes]
       lanterna-cli --connection SIMTCP[:profile] upload FILE [--yes]

Uploads FILE to the device's update mode over the network, has the device save it to its
flash and waits while it does (up to 60 s). The file is checked first: it must not be empty
and must fit one upload of 65535 fragments of 1400 bytes, its 2-byte command included. Asks
first on the terminal; --yes answers for you. The progress goes to standard error: a bar on
a terminal, else a line "upload NN%" for each larger percent. With --json the result has
"identification" (the update mode's text), "bytes" (the file's size) and "save_state" (the
first word of the last save state: 2 is saved).
)";

constexpr const char* kClockHelp = R"(Usage: lanterna-cli [OPTIONS] clock
       lanterna-cli [OPTIONS] clock sync
       lanterna-cli [OPTIONS] clock set UTC-TIME
       lanterna-cli [OPTIONS] clock zone HOURS

Reads the device, then works with its real-time clock as the Clock page does:
  clock             shows the device's clock (local time by its time zone, UTC) beside the PC's
  clock sync        sets the device to the PC's time and standard time zone
                    (daylight saving is not included)
  clock set TIME    sets the device's UTC, e.g. 2024-05-01T13:00:00 or "2024-05-01 13:00:00";
                    its time zone stays
  clock zone HOURS  sets the device's time zone, -12 to 12 hours from UTC; its UTC stays
The device keeps no daylight saving time.
)";

constexpr const char* kRegsHelp = R"(Usage: lanterna-cli [OPTIONS] regs read [--protocol P] [--trace MODE] TABLE FIRST COUNT
       lanterna-cli [OPTIONS] regs write [--enable] [--protocol P] [--trace MODE] TABLE FIRST WORD...

Reads or writes registers of a table directly, without a read of the device and without its
checks. Numbers are decimal or hexadecimal with "0x".

--protocol legacy (the default) goes by register telegrams: a table is 0 to 127 and a run ends
at register 255. --protocol ext goes by the extended protocol the device announces in its table
124: tables and registers up to 65535 and up to 32761 registers in one message. --protocol auto
takes the extended protocol where the device announces it, else the telegrams with their
limits. --trace MODE writes the extended protocol's frames to "ExtProt-<date>_<time>.log" in the
current folder (or FENNEC_TRACE_DIR); MODE adds 1 hexadecimal, 2 decimal, 4 characters, 8 one row
per field. The device refuses writes to its parameter tables until the parameter writing
is enabled: --enable does that first. Nothing is saved: the device forgets the words at its
next restart unless something saves them.

Examples:
  lanterna-cli --connection SIM regs read 100 9 2
  lanterna-cli --connection SIM regs write --enable 100 59 8080
  lanterna-cli --connection SIM:fbcext regs read --protocol ext 110 0 300
)";

constexpr const char* kProtoHelp = R"(Usage: lanterna-cli [OPTIONS] proto [--trace MODE]

Reads the device's protocol description, table 124, shows its eleven words, whether their
checksum is right and whether the device speaks the extended protocol, with its fragment size,
buffer size and fragmentation switch. A device without table 124 speaks only the telegrams.
)";

constexpr const char* kPortsHelp = R"(Usage: lanterna-cli [--json] ports
       lanterna-cli [--json] ports --probe [PORT...]

Lists the serial ports of this machine: the name --connection RS232:<name> takes, and what
the port is. With --probe it probes every port (or the ports named) at once, as a read
connects: opened exclusively with the stored settings, one register read, and where a device
answers its identification; nothing is written to a device. Each port shows the answering
device's order number and description, or why not: refused (busy, held by which process, or
denied, and what to do) or silent. --connection auto uses the one port with a device.
)";

constexpr const char* kPortHelp = R"(Usage: lanterna-cli [--json] port
       lanterna-cli port set RS232:<device> [--baud N] [--parity P] [--databits N] [--stopbits N] [--timeout MS]
       lanterna-cli port reset

Shows, stores or removes the serial port the program uses when no --connection is given, as
the desktop program's port dialog does (the same key, the same values). Settings not given
keep their present values.
  --baud       300, 1200, 2400, 9600, 19200, 38400 or 57600
  --parity     None, Odd, Even, Mark or Space
  --databits   5, 6, 7 or 8
  --stopbits   1, 1.5 or 2
  --timeout    the time-out of an answer in milliseconds

Example:
  lanterna-cli port set RS232:ttyUSB0 --timeout 1000
)";

constexpr const char* kErrorHelp = R"(Usage: lanterna-cli [--json] error CODE

Shows the title, text and detail the library's error catalogue gives for CODE (decimal or
hexadecimal with "0x"), in the language of LC_ALL, LC_MESSAGES or LANG.

Example:
  lanterna-cli error 0x20010200
)";

constexpr const char* kSimResetHelp = R"(Usage: lanterna-cli sim-reset [PROFILE]

Returns a simulated device (default: fbc32) to its factory state. The simulated devices keep
their non-volatile memory in the folder named by FENNEC_SIM_STATE, else in
$XDG_STATE_HOME/ORLA Software (~/.local/state/ORLA Software).
)";

constexpr const char* kCompletionHelp = R"(Usage: lanterna-cli completion bash

Prints a bash completion script for lanterna-cli: its commands, options and their values,
the simulator's profiles, and, as you type, the parameter keys of the INI file in use and
the serial ports of this machine. Load it in the running shell or install it:
  source <(lanterna-cli completion bash)
  lanterna-cli completion bash > ~/.local/share/bash-completion/completions/lanterna-cli
)";

constexpr std::array kCommands = {
    CommandInfo{"read", "identify the device and print its settings", kReadHelp, RunRead},
    CommandInfo{"write", "change settings and write them to the device", kWriteHelp, RunWrite, false, true},
    CommandInfo{"params", "list every setting's key, type and range", kParamsHelp, RunParams},
    CommandInfo{"restart", "restart the device", kRestartHelp, RunRestart, true},
    CommandInfo{"default", "reset the device to its factory settings", kDefaultHelp, RunDefault, true},
    CommandInfo{"extract", "extract the device's file system", kExtractHelp, RunExtract, true},
    CommandInfo{"format", "format the device's file system", kFormatHelp, RunFormat, true},
    CommandInfo{"upload", "upload a file to the device's flash over the network", kUploadHelp, RunUpload, true},
    CommandInfo{"clock", "show or set the device's clock", kClockHelp, RunClock},
    CommandInfo{"regs", "read or write registers directly", kRegsHelp, RunRegs, false, false, true},
    CommandInfo{"proto", "show the device's protocol description (table 124)", kProtoHelp, RunProto, false, false, true},
    CommandInfo{"ports", "list the serial ports of this machine", kPortsHelp, RunPorts},
    CommandInfo{"port", "show, store or remove the stored serial port", kPortHelp, RunPort, false, false, false, true},
    CommandInfo{"error", "explain an error code of the library", kErrorHelp, RunError},
    CommandInfo{"sim-reset", "return a simulated device to its factory state", kSimResetHelp, RunSimReset},
    CommandInfo{"completion", "print a bash completion script", kCompletionHelp, RunCompletion},
};

constexpr const char* kProgramHelpHead = R"(Usage: lanterna-cli [OPTIONS] COMMAND [ARGUMENTS]

Reads and writes the Ethernet settings of ORLA fieldbus couplers and controllers over the
serial service cable or the network.

Options:
  --connection RS232:<device>  the serial port (ttyUSB0, COM1, /dev/ttyS0); without this
                               option the port stored by the program is used
  --connection auto            the one serial port where a device answers (see ports --probe)
  --connection TCPIP:<host>[:<port>]
                               the device's service port on the network (default port 6626)
  --connection SIM[:profile]   start the device simulator in this process and use it;
                               profiles: fbc32 (default), pfc32, fbcnode, fbc16, fbcold,
                               fbcext
  --connection SIMTCP[:profile]
                               the same simulator, reached over TCP on 127.0.0.1
  --ini PATH                   the configuration (devices, pages, ranges); default:
                               LANTERNA.INI next to the program
  --json                       the result as one JSON object
  --debug                      show the polling trace of the parameter save
  --yes                        restart, default, extract, format, upload: do not ask
  --help                       this text; with a command, the command's help
  --version                    the versions of the program and of libfennec

Commands:
)";

constexpr const char* kProgramHelpTail = R"(
Exit status: 0 success; 1 the device action failed (its text on standard error); 2 bad usage
or input, nothing written to the device.
)";

}  // namespace

std::span<const CommandInfo> AllCommands() { return kCommands; }

const CommandInfo* FindCommand(std::string_view name) {
  for (const CommandInfo& command : kCommands)
    if (name == command.name) return &command;
  return nullptr;
}

std::string VersionText() {
  return "lanterna-cli " + ProgramVersionText() + "\nlibfennec " +
         ModuleVersionText(fennec::LibraryFileVersion(), fennec::LibraryBuildDate()) + "\n";
}

std::string ProgramHelp() {
  std::string help = kProgramHelpHead;
  for (const CommandInfo& command : kCommands) {
    std::string name = command.name;
    name.resize(12, ' ');
    help += "  " + name + command.summary + "\n";
  }
  return help + kProgramHelpTail;
}

}  // namespace lanterna::cli
