#pragma once

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::bench {

// The parent's id in the text of /proc/PID/stat; nothing when the text is malformed.
std::optional<pid_t> ParentFromStat(std::string_view stat);

// root and every process descending from it (WebKit's helper processes, through their
// sandbox launchers), root first.
std::vector<pid_t> ProcessTree(pid_t root);

// The process's proportional set size in kB; nothing when it is gone or unreadable.
std::optional<long> PssKb(pid_t pid);

struct TreeMemory {
  long pssKb = 0;
  int processes = 0;
  int unreadable = 0;  // processes of the tree whose memory could not be read
};

// The summed PSS of a process tree: shared pages count once over all the processes.
TreeMemory MeasureTree(pid_t root);

// The PSS of each readable process of a tree, by its id.
std::map<pid_t, long> PssByProcess(pid_t root);

// The command name of a process ("WebKitWebProces"), empty when it is gone.
std::string ProcessName(pid_t pid);

// User and system CPU time of one process in clock ticks; 0 when it is gone.
long CpuTicks(pid_t pid);

// User and system CPU time of one thread of a process in clock ticks; 0 when it is gone.
long ThreadCpuTicks(pid_t pid, pid_t thread);

// User and system CPU time of those processes of a tree with this command name, in clock ticks.
long NamedCpuTicks(pid_t root, std::string_view name);

// User and system CPU time of a process tree's processes, in clock ticks; ended ones count 0.
long TreeCpuTicks(pid_t root);

struct TreeHandles {
  long fds = 0;
  long threads = 0;
};

// Open file descriptors and threads of a process tree's processes, summed.
TreeHandles CountHandles(pid_t root);

}  // namespace lumora::bench
