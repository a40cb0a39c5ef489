#include "bench/ProcessMemory.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

namespace lumora::bench {
namespace {

// The number the text starts with, after any blanks; what follows it is ignored.
std::optional<long> LeadingNumber(std::string_view text) {
  text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
  long value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc()) return std::nullopt;
  return value;
}

std::optional<long> WholeNumber(std::string_view text) {
  long value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<pid_t> ParentOf(pid_t pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
  std::stringstream text;
  text << file.rdbuf();
  return ParentFromStat(text.str());
}

// Every process of the system by its parent.
std::multimap<pid_t, pid_t> ChildrenByParent() {
  std::multimap<pid_t, pid_t> children;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    std::optional<long> pid = WholeNumber(entry.path().filename().string());
    if (!pid) continue;
    // A process that ended meanwhile has no stat any more and is left out.
    if (std::optional<pid_t> parent = ParentOf(static_cast<pid_t>(*pid))) {
      children.emplace(*parent, static_cast<pid_t>(*pid));
    }
  }
  return children;
}

long ThreadCount(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  constexpr std::string_view kThreads = "Threads:";
  while (std::getline(status, line)) {
    if (line.starts_with(kThreads)) {
      return LeadingNumber(std::string_view(line).substr(kThreads.size())).value_or(0);
    }
  }
  return 0;
}

long FdCount(pid_t pid) {
  std::error_code error;
  std::filesystem::directory_iterator fds("/proc/" + std::to_string(pid) + "/fd", error);
  if (error) return 0;
  return std::distance(fds, std::filesystem::directory_iterator());
}

// User and system CPU time in clock ticks from a /proc stat file; 0 when it is gone.
long StatCpuTicks(const std::string& statPath) {
  std::ifstream file(statPath);
  std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(stat.substr(close + 2));
  std::string field;
  long user = 0;
  long system = 0;
  // After the name: state is field 3, utime field 14, stime field 15.
  for (int index = 3; index <= 15 && fields >> field; ++index) {
    if (index == 14) user = WholeNumber(field).value_or(0);
    if (index == 15) system = WholeNumber(field).value_or(0);
  }
  return user + system;
}

}  // namespace

std::optional<pid_t> ParentFromStat(std::string_view stat) {
  // "PID (COMMAND) STATE PPID ...": the command may hold spaces and parentheses itself.
  std::size_t commandEnd = stat.rfind(')');
  if (commandEnd == std::string_view::npos) return std::nullopt;
  std::istringstream rest{std::string(stat.substr(commandEnd + 1))};
  std::string state;
  std::string parent;
  if (!(rest >> state >> parent)) return std::nullopt;
  std::optional<long> value = WholeNumber(parent);
  if (!value) return std::nullopt;
  return static_cast<pid_t>(*value);
}

std::vector<pid_t> ProcessTree(pid_t root) {
  std::multimap<pid_t, pid_t> children = ChildrenByParent();
  std::vector<pid_t> tree{root};
  for (std::size_t next = 0; next < tree.size(); ++next) {
    auto [first, last] = children.equal_range(tree[next]);
    for (auto it = first; it != last; ++it) tree.push_back(it->second);
  }
  return tree;
}

std::optional<long> PssKb(pid_t pid) {
  std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
  std::string line;
  constexpr std::string_view kPss = "Pss:";
  while (std::getline(rollup, line)) {
    if (line.starts_with(kPss)) return LeadingNumber(std::string_view(line).substr(kPss.size()));
  }
  return std::nullopt;
}

TreeMemory MeasureTree(pid_t root) {
  TreeMemory memory;
  for (pid_t pid : ProcessTree(root)) {
    ++memory.processes;
    if (std::optional<long> pss = PssKb(pid)) {
      memory.pssKb += *pss;
    } else {
      ++memory.unreadable;
    }
  }
  return memory;
}

std::map<pid_t, long> PssByProcess(pid_t root) {
  std::map<pid_t, long> memory;
  for (pid_t pid : ProcessTree(root)) {
    if (std::optional<long> pss = PssKb(pid)) memory[pid] = *pss;
  }
  return memory;
}

std::string ProcessName(pid_t pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(file, name);
  return name;
}

long CpuTicks(pid_t pid) {
  return StatCpuTicks("/proc/" + std::to_string(pid) + "/stat");
}

long ThreadCpuTicks(pid_t pid, pid_t thread) {
  return StatCpuTicks("/proc/" + std::to_string(pid) + "/task/" + std::to_string(thread) + "/stat");
}

long NamedCpuTicks(pid_t root, std::string_view name) {
  long ticks = 0;
  for (pid_t pid : ProcessTree(root)) {
    if (ProcessName(pid) == name) ticks += CpuTicks(pid);
  }
  return ticks;
}

long TreeCpuTicks(pid_t root) {
  long ticks = 0;
  for (pid_t pid : ProcessTree(root)) ticks += CpuTicks(pid);
  return ticks;
}

TreeHandles CountHandles(pid_t root) {
  TreeHandles handles;
  for (pid_t pid : ProcessTree(root)) {
    handles.fds += FdCount(pid);
    handles.threads += ThreadCount(pid);
  }
  return handles;
}

}  // namespace lumora::bench
