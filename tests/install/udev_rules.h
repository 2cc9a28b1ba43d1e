#pragma once
// A reader of udev rule files that checks every key and operator against
// udev's own tables, and runs the rules on a described device the way udevd
// does for the keys this project's rule uses (matches on the device and its
// parents, ENV assignments, TAG, SYMLINK with %n and $env{}, GOTO/LABEL).
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lmv::test {

struct UdevPair {
  std::string key;        // "ENV", "ATTRS", "TAG", ...
  std::string attribute;  // the part in braces, "" without
  std::string op;         // "==", "!=", "=", "+=", "-=", ":="
  std::string value;      // without quotes
};

struct UdevRule {
  int line = 0;  // line of the rule's first line in the file
  std::vector<UdevPair> pairs;
};

struct UdevRuleFile {
  std::vector<UdevRule> rules;
  std::vector<std::string> errors;  // "line N: ..." for each fault found
};

UdevRuleFile parseUdevRules(const std::string& text);

// One device of the device tree: the device itself first, then its
// parents up to the root.
struct UdevDeviceNode {
  std::string kernel;
  std::string subsystem;
  std::map<std::string, std::string> attributes;
};

struct UdevEvent {
  std::string action = "add";
  std::vector<UdevDeviceNode> path;  // path[0] is the device
  std::map<std::string, std::string> env;
};

struct UdevOutcome {
  std::vector<std::string> tags;
  std::vector<std::string> symlinks;
  std::map<std::string, std::string> env;
};

UdevOutcome applyUdevRules(const UdevRuleFile& file, const UdevEvent& event);

}  // namespace lmv::test
