#pragma once

#include <functional>
#include <string>
#include <vector>

namespace lumora {

// Keeps one running instance per application id. A later start hands its command line to the
// running one and ends.
class SingleInstance {
 public:
  virtual ~SingleInstance() = default;
  // True when this process is the running instance from now on. False when another instance
  // runs: the command line was handed to it (or could not be) and this process should end.
  virtual bool Claim(const std::string& appId, const std::vector<std::string>& commandLine) = 0;
  // In the running instance: a later start handed over its command line.
  std::function<void(const std::vector<std::string>& commandLine)> onHandOver;
};

}  // namespace lumora
