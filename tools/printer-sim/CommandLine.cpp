#include "CommandLine.h"

#include <charconv>
#include <set>
#include <string_view>

namespace sim {
namespace {

std::optional<long> number(std::string_view text) {
    long value = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (problem != std::errc{} || end != text.data() + text.size() || value < 0) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& arguments,
                                            std::string& error) {
    CommandLine line;
    line.printers.emplace_back();
    long copies = 1;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        auto& printer = line.printers.back();
        if (option == "--help" || option == "-h") {
            line.help = true;
            continue;
        }
        if (option == "--quiet") {
            line.quiet = true;
            continue;
        }
        if (option == "--self-test-hold") {
            printer.selfTestCloses = false;
            continue;
        }
        if (option == "--printer") {
            line.printers.push_back(nextPrinter(printer));
            continue;
        }
        static const std::set<std::string, std::less<>> kWithValue = {
            "--ip",  "--prnport", "--subnet", "--gateway",  "--dhcp",     "--dtimeout",
            "--mac", "--reply",   "--status", "--printers", "--duration", "--reply-padding"};
        if (!kWithValue.contains(option)) {
            error = "unknown option " + option;
            return std::nullopt;
        }
        if (i + 1 >= arguments.size()) {
            error = option + " needs a value";
            return std::nullopt;
        }
        const std::string& value = arguments[++i];
        if (option == "--ip") {
            printer.ip = value;
        } else if (option == "--prnport") {
            printer.prnPort = value;
        } else if (option == "--subnet") {
            printer.subnet = value;
        } else if (option == "--gateway") {
            printer.gateway = value;
        } else if (option == "--dhcp") {
            printer.dhcp = value;
        } else if (option == "--dtimeout") {
            printer.dtimeout = value;
        } else if (option == "--mac") {
            printer.mac = value;
        } else if (option == "--reply") {
            printer.reply = value;
        } else if (option == "--reply-padding") {
            const auto padding = number(value);
            if (!padding) {
                error = "--reply-padding takes a number of bytes";
                return std::nullopt;
            }
            printer.replyPadding = static_cast<std::size_t>(*padding);
        } else if (option == "--status") {
            auto script = parseStatusScript(value);
            if (!script) {
                error = "--status takes steps such as 1400000F,5C00,silent,close";
                return std::nullopt;
            }
            printer.status = std::move(*script);
        } else if (option == "--printers") {
            const auto count = number(value);
            if (!count || *count < 1 || *count > 1000) {
                error = "--printers takes a number from 1 to 1000";
                return std::nullopt;
            }
            copies = *count;
        } else if (option == "--duration") {
            const auto seconds = number(value);
            if (!seconds) {
                error = "--duration takes a number of seconds";
                return std::nullopt;
            }
            line.durationSeconds = static_cast<int>(*seconds);
        }
    }
    while (static_cast<long>(line.printers.size()) < copies) {
        line.printers.push_back(nextPrinter(line.printers.back()));
    }
    return line;
}

std::string usage() {
    return R"(Usage: printer-sim [options]

Plays network printers of the family on this machine, the way their firmware answers:
discovery, settings and reboot datagrams on UDP 3000, the self-test page on TCP 9100 and
status requests on TCP 4000. Every message received is logged on standard output, one line
each. With no options it plays one printer at 127.0.0.1 with MAC "00 11 22 33 44 55" that
answers every status request with 14 00 00 0F (all clear).

It never leaves loopback: it answers only senders on 127.0.0.0/8, serves TCP only on
loopback addresses, and listens for broadcasts on all addresses only when every network
interface is a loopback one (inside an isolated namespace, see tools/netns-run); elsewhere
its UDP port is bound to 127.0.0.1.

Printer options (they describe the current printer; --printer begins the next one):
  --ip ADDRESS         its address, a loopback one (127.0.0.1)
  --prnport TEXT       the PRNPORT value of its reply (9100)
  --subnet TEXT        SUBNETWORK (255.0.0.0)
  --gateway TEXT       GATEWAY (127.0.0.1)
  --dhcp TEXT          DHCP (0)
  --dtimeout TEXT      DTIMEOUT (30)
  --mac TEXT           MAC, twelve hex digits, blanks allowed ("00 11 22 33 44 55")
  --status STEPS       how it answers status requests on TCP 4000, one step per request,
                       comma-separated; the last step repeats. A step is hex bytes (1400000F,
                       FFFFFFFF, or a short answer such as 5C00), "silent" (no answer) or
                       "close" (close the connection). Each connection starts the script
                       anew. Default: 1400000F
  --reply TEXT         answer discovery with this text instead of the key list
  --reply-padding N    append N filler bytes to the reply (a reply longer than 1024 bytes)
  --self-test-hold     keep the self-test connection open after the command, never close it
  --printer            begin the next printer: the next address and MAC, the rest copied

General options:
  --printers N         play N printers: the current one and N-1 copies with the next
                       addresses and MACs
  --duration SECONDS   exit after this many seconds (default: run until interrupted)
  --quiet              log nothing
  --help               show this text

A settings datagram for a printer's MAC is recorded; a reboot for its MAC applies the
settings received since, and discovery answers with the new address from then on (an
address off loopback is refused and logged). The self-test bytes are logged when the client
ends its side of the connection, after which the printer closes it.
)";
}

}  // namespace sim
