// completion: the shell completion script.
#include "cli/Completion.h"

#include <array>
#include <iostream>

#include "Profile.h"
#include "cli/CliError.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "cli/PortSettingValues.h"

namespace lanterna::cli {

namespace {

constexpr std::array<std::string_view, 10> kValueOptions = {"--connection", "--ini",      "--from",     "--baud",
                                                            "--parity",     "--databits", "--stopbits", "--timeout",
                                                            "--protocol",   "--trace"};
constexpr std::array<std::string_view, 8> kSwitchOptions = {"--json", "--debug",   "--yes", "--enable",
                                                            "--help", "--version", "-h",  "--probe"};

// @NAME@ stands for a list of words the program fills in.
constexpr std::string_view kBashScript = R"SCRIPT(# bash completion for lanterna-cli, made by 'lanterna-cli completion bash'
_lanterna_cli() {
  # The line up to the cursor in words of its own: bash splits at ':' and '=' too.
  local line=${COMP_LINE:0:COMP_POINT}
  local -a words=()
  read -ra words <<< "$line"
  if [[ -z $line || $line == *[[:space:]] ]]; then words+=(""); fi
  local cur=${words[-1]} prev=""
  (( ${#words[@]} > 1 )) && prev=${words[-2]}

  local -a run=("${words[0]/#\~/$HOME}") operands=()
  local command="" i
  for (( i = 1; i < ${#words[@]} - 1; i++ )); do
    case ${words[i]} in
      --ini) run+=(--ini "${words[i+1]/#\~/$HOME}"); (( i++ )) ;;
      --ini=*) run+=("${words[i]}") ;;
      @VALUE_OPTIONS@) (( i++ )) ;;
      -*) ;;
      *) if [[ -z $command ]]; then command=${words[i]}; else operands+=("${words[i]}"); fi ;;
    esac
  done

  local offer=""
  case $prev in
    --ini|--from)
      compopt -o filenames 2>/dev/null
      COMPREPLY=($(compgen -f -- "$cur"))
      return ;;
    --connection) offer="auto SIM @SIM_PROFILES@ SIMTCP @SIMTCP_PROFILES@ TCPIP: $("${run[@]}" ports 2>/dev/null | awk '{ print "RS232:" $1 }')" ;;
    --baud) offer="@BAUD_RATES@" ;;
    --parity) offer="@PARITIES@" ;;
    --databits) offer="@DATA_BITS@" ;;
    --stopbits) offer="@STOP_BITS@" ;;
    --protocol) offer="legacy ext auto" ;;
    --timeout|--trace) return ;;
    *)
      if [[ $cur == -* ]]; then
        offer="--connection --ini --json --debug --help --version"
        case $command in
          write) offer+=" --from" ;;
          restart|default|extract|format) offer+=" --yes" ;;
          regs) offer+=" --protocol --trace"; [[ ${operands[0]} == write ]] && offer+=" --enable" ;;
          proto) offer+=" --trace" ;;
          ports) offer+=" --probe" ;;
          port) [[ ${operands[0]} == set ]] && offer+=" --baud --parity --databits --stopbits --timeout" ;;
        esac
      else
        case $command@${#operands[@]} in
          @0|help@0) offer="@COMMANDS@" ;;
          completion@0) offer="bash" ;;
          write@*)
            [[ $cur == *=* ]] && return
            compopt -o nospace 2>/dev/null
            offer=$("${run[@]}" params 2>/dev/null | awk 'NR > 1 { print $1 "=" }') ;;
          clock@0) offer="sync set zone" ;;
          regs@0) offer="read write" ;;
          port@0) offer="set reset" ;;
          port@1) [[ ${operands[0]} == set ]] && offer=$("${run[@]}" ports 2>/dev/null | awk '{ print "RS232:" $1 }') ;;
          sim-reset@0) offer="@PROFILES@" ;;
        esac
      fi ;;
  esac
  COMPREPLY=($(compgen -W "$offer" -- "$cur"))
  # bash replaces only what follows the last ':' of the word.
  if [[ $cur == *:* && $COMP_WORDBREAKS == *:* ]]; then
    local before=${cur%"${cur##*:}"} j
    for j in "${!COMPREPLY[@]}"; do COMPREPLY[j]=${COMPREPLY[j]#"$before"}; done
  fi
}
complete -F _lanterna_cli lanterna-cli
)SCRIPT";

template <class Words>
std::string Joined(const Words& words, std::string_view separator, std::string_view prefix = "") {
  std::string text;
  for (const auto& word : words) text += (text.empty() ? "" : std::string(separator)) + std::string(prefix) + std::string(word);
  return text;
}

std::vector<std::string> ProfileNames() {
  std::vector<std::string> names;
  for (const fennec::sim::Profile& profile : fennec::sim::AllProfiles()) names.push_back(profile.name);
  return names;
}

std::vector<std::string_view> CommandNames() {
  std::vector<std::string_view> names{"help"};
  for (const CommandInfo& command : AllCommands()) names.push_back(command.name);
  return names;
}

void Fill(std::string& script, std::string_view placeholder, const std::string& words) {
  for (auto at = script.find(placeholder); at != std::string::npos; at = script.find(placeholder, at + words.size()))
    script.replace(at, placeholder.size(), words);
}

}  // namespace

std::span<const std::string_view> ValueOptions() { return kValueOptions; }
std::span<const std::string_view> SwitchOptions() { return kSwitchOptions; }

std::string BashCompletionScript() {
  std::string script(kBashScript);
  Fill(script, "@VALUE_OPTIONS@", Joined(kValueOptions, "|"));
  Fill(script, "@SIM_PROFILES@", Joined(ProfileNames(), " ", "SIM:"));
  Fill(script, "@SIMTCP_PROFILES@", Joined(ProfileNames(), " ", "SIMTCP:"));
  Fill(script, "@PROFILES@", Joined(ProfileNames(), " "));
  Fill(script, "@COMMANDS@", Joined(CommandNames(), " "));
  Fill(script, "@BAUD_RATES@", Joined(kBaudRates, " "));
  Fill(script, "@PARITIES@", Joined(kParities, " "));
  Fill(script, "@DATA_BITS@", Joined(kDataBits, " "));
  Fill(script, "@STOP_BITS@", Joined(kStopBits, " "));
  return script;
}

int RunCompletion(const CliOptions& options) {
  RequireOperands(options, 1, 1, "completion bash");
  if (options.operands[0] != "bash")
    throw CBadInput("completion knows the shell bash, not '" + options.operands[0] + "'");
  if (options.json)
    PrintJsonSuccess({{"shell", "bash"}, {"script", BashCompletionScript()}});
  else
    std::cout << BashCompletionScript();
  return kExitSuccess;
}

}  // namespace lanterna::cli
