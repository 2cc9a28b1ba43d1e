#include "fault_plan.h"

#include <algorithm>
#include <charconv>

#include "meter_replies.h"

namespace lmv::sim {

namespace {

struct KindName {
  std::string_view name;
  FaultKind kind;
  bool takesParam;
};

constexpr KindName kKinds[] = {
    {"noreply", FaultKind::NoReply, false},     {"late", FaultKind::LateReply, true},
    {"garbage", FaultKind::Garbage, true},      {"overlong", FaultKind::Overlong, true},
    {"cmderr", FaultKind::CommandError, false}, {"missingbyte", FaultKind::MissingByte, true},
    {"hangup", FaultKind::HangUp, false},
};

std::optional<int> parseCount(std::string_view text) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 0)
    return std::nullopt;
  return value;
}

// Bytes a line at the wrong speed or with a bad contact might deliver.
constexpr unsigned char kNoise[] = {0xFF, 0x80, 0x3F, 0xFE, 0x06, 0x9A, 0x23, 0xC3, 0x15, 0xE0, 0x7E, 0xA5};

}  // namespace

std::optional<Fault> parseFault(std::string_view text, std::string* error) {
  auto fail = [&](std::string message) -> std::optional<Fault> {
    if (error) *error = "fault '" + std::string(text) + "': " + message;
    return std::nullopt;
  };
  Fault fault;
  std::string_view rest = text;
  if (size_t hash = rest.rfind('#'); hash != std::string_view::npos) {
    auto count = parseCount(rest.substr(hash + 1));
    if (!count || *count == 0) return fail("the count after # must be a positive number");
    fault.count = *count;
    rest = rest.substr(0, hash);
  }
  if (size_t at = rest.find('@'); at != std::string_view::npos) {
    fault.command = std::string(rest.substr(at + 1));
    if (fault.command.empty()) return fail("no command after @");
    rest = rest.substr(0, at);
  }
  std::string_view name = rest;
  std::optional<int> param;
  if (size_t eq = rest.find('='); eq != std::string_view::npos) {
    name = rest.substr(0, eq);
    param = parseCount(rest.substr(eq + 1));
    if (!param) return fail("the value after = must be a number");
  }
  auto kind = std::find_if(std::begin(kKinds), std::end(kKinds),
                           [&](const KindName& k) { return k.name == name; });
  if (kind == std::end(kKinds))
    return fail("unknown kind (noreply, late, garbage, overlong, cmderr, missingbyte, hangup)");
  if (param && !kind->takesParam) return fail("this kind takes no value");
  fault.kind = kind->kind;
  fault.param = param.value_or(-1);
  return fault;
}

bool faultMatches(const Fault& fault, std::string_view command) {
  if (fault.command.empty() || command == fault.command) return true;
  return command.substr(0, command.find(' ')) == fault.command;
}

Outcome applyFault(const Fault* fault, Reply reply) {
  Outcome out{true, std::move(reply.bytes), reply.delay, false};
  if (!fault) return out;
  auto param = [&](int fallback) { return fault->param >= 0 ? fault->param : fallback; };
  switch (fault->kind) {
    case FaultKind::NoReply:
      out.reply = false;
      break;
    case FaultKind::LateReply:
      out.delay += std::chrono::milliseconds(param(3000));
      break;
    case FaultKind::Garbage: {
      out.bytes.clear();
      for (int i = 0; i < param(12); ++i) out.bytes.push_back(static_cast<char>(kNoise[i % std::size(kNoise)]));
      out.bytes += replies::kLineEnd;
      break;
    }
    case FaultKind::Overlong: {
      size_t length = static_cast<size_t>(param(80));
      if (reply.raw) {
        if (out.bytes.size() < length) out.bytes.append(length - out.bytes.size(), '\x5A');
      } else {
        std::string text = out.bytes.substr(0, out.bytes.find_first_of("\r\n"));
        if (text.size() < length) text.append(length - text.size(), '#');
        out.bytes = text + std::string(replies::kLineEnd);
      }
      break;
    }
    case FaultKind::CommandError:
      out.bytes = std::string(replies::kCommandError) + std::string(replies::kLineEnd);
      break;
    case FaultKind::MissingByte:
      if (!out.bytes.empty()) {
        size_t index = fault->param >= 0 ? static_cast<size_t>(fault->param) : out.bytes.size() - 1;
        out.bytes.erase(std::min(index, out.bytes.size() - 1), 1);
      }
      break;
    case FaultKind::HangUp:
      out.reply = false;
      out.hangUp = true;
      break;
  }
  return out;
}

std::optional<Fault> FaultPlan::take(std::string_view command) {
  for (auto& fault : faults_) {
    if (fault.count == 0 || !faultMatches(fault, command)) continue;
    if (fault.count > 0) --fault.count;
    return fault;
  }
  return std::nullopt;
}

}  // namespace lmv::sim
