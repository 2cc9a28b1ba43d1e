#include "udev_rules.h"

#include <fnmatch.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

namespace lmv::test {
namespace {

enum class Attribute { None, Required, Optional };

struct KeyForm {
  Attribute attribute;
  std::set<std::string> operators;
};

const std::set<std::string> kMatch = {"==", "!="};

// The keys of udev(7) with the operators each accepts.
const std::map<std::string, KeyForm>& keyTable() {
  static const std::map<std::string, KeyForm> table = {
      {"ACTION", {Attribute::None, kMatch}},
      {"DEVPATH", {Attribute::None, kMatch}},
      {"KERNEL", {Attribute::None, kMatch}},
      {"KERNELS", {Attribute::None, kMatch}},
      {"SUBSYSTEM", {Attribute::None, kMatch}},
      {"SUBSYSTEMS", {Attribute::None, kMatch}},
      {"DRIVER", {Attribute::None, kMatch}},
      {"DRIVERS", {Attribute::None, kMatch}},
      {"ATTRS", {Attribute::Required, kMatch}},
      {"TAGS", {Attribute::None, kMatch}},
      {"CONST", {Attribute::Required, kMatch}},
      {"TEST", {Attribute::Optional, kMatch}},
      {"PROGRAM", {Attribute::None, kMatch}},
      {"RESULT", {Attribute::None, kMatch}},
      {"NAME", {Attribute::None, {"==", "!=", "=", ":="}}},
      {"SYMLINK", {Attribute::None, {"==", "!=", "=", "+=", "-=", ":="}}},
      {"TAG", {Attribute::None, {"==", "!=", "=", "+=", "-=", ":="}}},
      {"ENV", {Attribute::Required, {"==", "!=", "=", "+=", ":="}}},
      {"ATTR", {Attribute::Required, {"==", "!=", "="}}},
      {"SYSCTL", {Attribute::Required, {"==", "!=", "="}}},
      {"OWNER", {Attribute::None, {"=", ":="}}},
      {"GROUP", {Attribute::None, {"=", ":="}}},
      {"MODE", {Attribute::None, {"=", ":="}}},
      {"SECLABEL", {Attribute::Required, {"=", "+=", ":="}}},
      {"RUN", {Attribute::Optional, {"=", "+=", "-=", ":="}}},
      {"IMPORT", {Attribute::Required, {"=", "=="}}},
      {"OPTIONS", {Attribute::None, {"=", "+="}}},
      {"LABEL", {Attribute::None, {"="}}},
      {"GOTO", {Attribute::None, {"="}}},
  };
  return table;
}

bool isMatch(const std::string& op) { return op == "==" || op == "!="; }

// The substitutions udev knows in assigned values.
bool substitutionsKnown(const std::string& value, std::string& unknown) {
  static const std::set<char> percent = {'n', 'k', 'K', 'd', 'p', 'b', 'M', 'm', 'c', 'P', 'N', 'r', 'S', 's',
                                         'E', 'A', '%'};
  static const std::set<std::string> dollar = {"devpath", "kernel", "number", "id", "driver", "attr", "sysfs",
                                               "env", "major", "minor", "result", "parent", "name", "links",
                                               "root", "sys", "devnode", "tempnode"};
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '%') {
      if (i + 1 >= value.size() || !percent.count(value[i + 1])) {
        unknown = value.substr(i, 2);
        return false;
      }
      ++i;
    } else if (value[i] == '$') {
      if (i + 1 < value.size() && value[i + 1] == '$') {
        ++i;
        continue;
      }
      size_t end = i + 1;
      while (end < value.size() && std::islower(static_cast<unsigned char>(value[end]))) ++end;
      if (!dollar.count(value.substr(i + 1, end - i - 1))) {
        unknown = value.substr(i, end - i);
        return false;
      }
      i = end - 1;
    }
  }
  return true;
}

std::vector<std::pair<int, std::string>> logicalLines(const std::string& text) {
  std::vector<std::pair<int, std::string>> lines;
  std::istringstream in(text);
  std::string physical, joined;
  int number = 0, first = 0;
  while (std::getline(in, physical)) {
    ++number;
    if (joined.empty()) first = number;
    if (!physical.empty() && physical.back() == '\\') {
      physical.pop_back();
      joined += physical;
      continue;
    }
    joined += physical;
    lines.emplace_back(first, joined);
    joined.clear();
  }
  if (!joined.empty()) lines.emplace_back(first, joined);
  return lines;
}

std::optional<UdevRule> parseRule(int line, const std::string& text, std::vector<std::string>& errors) {
  auto fault = [&](const std::string& message) {
    errors.push_back("line " + std::to_string(line) + ": " + message);
    return std::nullopt;
  };
  UdevRule rule;
  rule.line = line;
  size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  };
  skipBlanks();
  while (true) {
    UdevPair pair;
    const size_t keyStart = i;
    while (i < text.size() && (std::isupper(static_cast<unsigned char>(text[i])) || text[i] == '_')) ++i;
    pair.key = text.substr(keyStart, i - keyStart);
    if (pair.key.empty()) return fault("expected a key at \"" + text.substr(keyStart) + "\"");
    if (i < text.size() && text[i] == '{') {
      const size_t close = text.find('}', i);
      if (close == std::string::npos) return fault("unclosed { after " + pair.key);
      pair.attribute = text.substr(i + 1, close - i - 1);
      if (pair.attribute.empty()) return fault("empty {} after " + pair.key);
      i = close + 1;
    }
    skipBlanks();
    for (const char* op : {"==", "!=", "+=", "-=", ":=", "="}) {
      if (text.compare(i, std::string(op).size(), op) == 0) {
        pair.op = op;
        break;
      }
    }
    if (pair.op.empty()) return fault("expected an operator after " + pair.key);
    i += pair.op.size();
    skipBlanks();
    if (i >= text.size() || text[i] != '"') return fault("the value of " + pair.key + " is not quoted");
    size_t close = i + 1;
    while (close < text.size() && (text[close] != '"' || text[close - 1] == '\\')) ++close;
    if (close >= text.size()) return fault("unclosed quote in the value of " + pair.key);
    pair.value = text.substr(i + 1, close - i - 1);
    i = close + 1;

    const auto form = keyTable().find(pair.key);
    if (form == keyTable().end()) return fault("unknown key " + pair.key);
    if (form->second.attribute == Attribute::None && !pair.attribute.empty())
      return fault(pair.key + " takes no {attribute}");
    if (form->second.attribute == Attribute::Required && pair.attribute.empty())
      return fault(pair.key + " needs an {attribute}");
    if (!form->second.operators.count(pair.op)) return fault(pair.key + " does not take " + pair.op);
    std::string unknown;
    if (!isMatch(pair.op) && !substitutionsKnown(pair.value, unknown))
      return fault("unknown substitution " + unknown + " in " + pair.key);
    rule.pairs.push_back(pair);

    skipBlanks();
    if (i >= text.size()) break;
    if (text[i] != ',') return fault("missing comma after " + pair.key);
    ++i;
    skipBlanks();
    if (i >= text.size()) return fault("trailing comma");
  }
  return rule;
}

bool matchesPattern(const std::string& pattern, const std::string& value) {
  size_t start = 0;
  while (true) {
    const size_t bar = pattern.find('|', start);
    const std::string alternative = pattern.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
    if (::fnmatch(alternative.c_str(), value.c_str(), 0) == 0) return true;
    if (bar == std::string::npos) return false;
    start = bar + 1;
  }
}

bool holds(const UdevPair& pair, const std::string& value) {
  const bool matched = matchesPattern(pair.value, value);
  return pair.op == "==" ? matched : !matched;
}

std::string lookup(const std::map<std::string, std::string>& map, const std::string& key) {
  const auto it = map.find(key);
  return it == map.end() ? std::string() : it->second;
}

// Sysfs attribute values are compared without their trailing blanks.
std::string attributeValue(const UdevDeviceNode& node, const std::string& name) {
  std::string value = lookup(node.attributes, name);
  while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back()))) value.pop_back();
  return value;
}

bool isParentKey(const std::string& key) {
  return key == "KERNELS" || key == "SUBSYSTEMS" || key == "ATTRS" || key == "DRIVERS";
}

std::string kernelNumber(const std::string& kernel) {
  size_t start = kernel.size();
  while (start > 0 && std::isdigit(static_cast<unsigned char>(kernel[start - 1]))) --start;
  return kernel.substr(start);
}

std::string substitute(const std::string& value, const UdevEvent& event, const UdevOutcome& outcome) {
  std::string out;
  const std::string& kernel = event.path.front().kernel;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '%' && i + 1 < value.size()) {
      const char c = value[++i];
      out += c == 'n' ? kernelNumber(kernel) : c == 'k' ? kernel : std::string(1, c);
    } else if (value.compare(i, 5, "$env{") == 0) {
      const size_t close = value.find('}', i);
      out += lookup(outcome.env, value.substr(i + 5, close - i - 5));
      i = close;
    } else {
      out += value[i];
    }
  }
  return out;
}

bool ruleMatches(const UdevRule& rule, const UdevEvent& event, const UdevOutcome& outcome) {
  const UdevDeviceNode& device = event.path.front();
  bool hasParentKeys = false;
  for (const auto& pair : rule.pairs) {
    if (!isMatch(pair.op)) continue;
    if (isParentKey(pair.key)) {
      hasParentKeys = true;
    } else if (pair.key == "ACTION") {
      if (!holds(pair, event.action)) return false;
    } else if (pair.key == "KERNEL") {
      if (!holds(pair, device.kernel)) return false;
    } else if (pair.key == "SUBSYSTEM") {
      if (!holds(pair, device.subsystem)) return false;
    } else if (pair.key == "ENV") {
      if (!holds(pair, lookup(outcome.env, pair.attribute))) return false;
    } else {
      return false;  // a match this reader does not run never holds
    }
  }
  if (!hasParentKeys) return true;
  // All parent keys of a rule hold on one node, the device or a parent.
  for (const auto& node : event.path) {
    bool all = true;
    for (const auto& pair : rule.pairs) {
      if (!isMatch(pair.op) || !isParentKey(pair.key)) continue;
      if (pair.key == "KERNELS") all = all && holds(pair, node.kernel);
      if (pair.key == "SUBSYSTEMS") all = all && holds(pair, node.subsystem);
      if (pair.key == "ATTRS") all = all && node.attributes.count(pair.attribute) && holds(pair, attributeValue(node, pair.attribute));
      if (pair.key == "DRIVERS") all = false;
    }
    if (all) return true;
  }
  return false;
}

}  // namespace

UdevRuleFile parseUdevRules(const std::string& text) {
  UdevRuleFile file;
  for (const auto& [line, content] : logicalLines(text)) {
    const size_t start = content.find_first_not_of(" \t");
    if (start == std::string::npos || content[start] == '#') continue;
    if (auto rule = parseRule(line, content, file.errors)) file.rules.push_back(*rule);
  }
  // Every GOTO jumps forward to a label that exists once.
  std::map<std::string, int> labels;
  for (size_t r = 0; r < file.rules.size(); ++r)
    for (const auto& pair : file.rules[r].pairs)
      if (pair.key == "LABEL" && !labels.emplace(pair.value, static_cast<int>(r)).second)
        file.errors.push_back("line " + std::to_string(file.rules[r].line) + ": label " + pair.value + " twice");
  for (size_t r = 0; r < file.rules.size(); ++r)
    for (const auto& pair : file.rules[r].pairs) {
      if (pair.key != "GOTO") continue;
      const auto label = labels.find(pair.value);
      if (label == labels.end() || label->second <= static_cast<int>(r))
        file.errors.push_back("line " + std::to_string(file.rules[r].line) + ": GOTO " + pair.value +
                              " has no label after it");
    }
  return file;
}

UdevOutcome applyUdevRules(const UdevRuleFile& file, const UdevEvent& event) {
  UdevOutcome outcome;
  outcome.env = event.env;
  for (size_t r = 0; r < file.rules.size(); ++r) {
    const UdevRule& rule = file.rules[r];
    if (!ruleMatches(rule, event, outcome)) continue;
    std::optional<std::string> jump;
    for (const auto& pair : rule.pairs) {
      if (isMatch(pair.op)) continue;
      const std::string value = substitute(pair.value, event, outcome);
      if (pair.key == "ENV") outcome.env[pair.attribute] = value;
      if (pair.key == "TAG") outcome.tags.push_back(value);
      if (pair.key == "SYMLINK") outcome.symlinks.push_back(value);
      if (pair.key == "GOTO") jump = pair.value;
    }
    if (!jump) continue;
    size_t target = r + 1;
    while (target < file.rules.size() && !std::any_of(file.rules[target].pairs.begin(), file.rules[target].pairs.end(),
                                                      [&](const UdevPair& p) { return p.key == "LABEL" && p.value == *jump; }))
      ++target;
    r = target - 1;  // the loop's ++r lands on the label (or ends)
  }
  return outcome;
}

}  // namespace lmv::test
