#include "sim/SimAltimeter.h"

#include <algorithm>

namespace tev {

SimAltimeter::SimAltimeter(SimConfig config)
    : config_(std::move(config)) {
  state_.hardwareVersion = config_.hardwareVersion;
  personality_ = MakeSimPersonality(config_.personality, state_);
}

HidAttributes SimAltimeter::Attributes() const {
  HidAttributes attrs;
  const bool bootloader = config_.personality == Personality::Bootloader;
  attrs.VendorID = config_.vendorId;
  attrs.ProductID = config_.productId.value_or(bootloader ? kBootloaderProductId : kApplicationProductId);
  attrs.VersionNumber = bootloader ? config_.bootloaderVersion : config_.firmwareVersion;
  return attrs;
}

void SimAltimeter::SwitchPersonality(Personality personality) {
  config_.personality = personality;
  config_.productId.reset();
  personality_ = MakeSimPersonality(personality, state_);
}

void SimAltimeter::SetVersions(std::uint16_t firmware, std::uint16_t bootloader, std::uint16_t hardware) {
  config_.firmwareVersion = firmware;
  config_.bootloaderVersion = bootloader;
  config_.hardwareVersion = hardware;
  state_.hardwareVersion = hardware;
}

void SimAltimeter::InjectFault(SimFault fault) {
  const std::uint64_t base = fault.kind == SimFaultKind::WithholdAccept ? outputs_ : inputs_;
  faults_.push_back({fault, base + fault.at});
}

bool SimAltimeter::TakeFault(SimFaultKind kind, std::uint64_t index, SimFault* found) {
  auto it = std::find_if(faults_.begin(), faults_.end(),
                         [&](const PendingFault& f) { return f.fault.kind == kind && f.index == index; });
  if (it == faults_.end()) return false;
  if (found) *found = it->fault;
  faults_.erase(it);
  return true;
}

SimReaction SimAltimeter::OnOutputReport(const std::uint8_t* report, std::size_t length) {
  SimReaction reaction;
  if (TakeFault(SimFaultKind::WithholdAccept, outputs_++)) {
    reaction.accepted = false;
    return reaction;
  }
  SimReplies replies(config_.reportIntervalMs);
  reaction.accepted = personality_->OnOutput(report, length, replies);
  if (!reaction.accepted) return reaction;
  received_.emplace_back(report, report + length);
  reaction.inputs = std::move(replies.Inputs());
  ApplyInputFaults(reaction.inputs);
  return reaction;
}

void SimAltimeter::ApplyInputFaults(std::vector<SimInput>& inputs) {
  std::vector<SimInput> out;
  for (SimInput& input : inputs) {
    const std::uint64_t index = inputs_;
    // An unplug due now goes before this report: the device has already sent its quota.
    if (TakeFault(SimFaultKind::UnplugAfter, index)) {
      out.push_back({{}, config_.reportIntervalMs, true});
      break;
    }
    if (TakeFault(SimFaultKind::WithholdReplies, index)) break;
    SimFault fault;
    if (TakeFault(SimFaultKind::InsertBefore, index, &fault) && input.report.size() > personality_->CodeByte()) {
      SimInput extra = input;
      extra.report[personality_->CodeByte()] = fault.code;
      out.push_back(std::move(extra));
    }
    ++inputs_;
    if (TakeFault(SimFaultKind::EndEarly, index)) {
      out.push_back({personality_->CompletionReport(), input.delayMs, false});
      break;
    }
    if (TakeFault(SimFaultKind::ReplaceCode, index, &fault) && input.report.size() > personality_->CodeByte()) {
      input.report[personality_->CodeByte()] = fault.code;
    }
    out.push_back(std::move(input));
  }
  // An unplug due after the last report of this reaction happens right after it.
  if (TakeFault(SimFaultKind::UnplugAfter, inputs_)) out.push_back({{}, config_.reportIntervalMs, true});
  inputs = std::move(out);
}

}  // namespace tev
