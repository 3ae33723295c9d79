// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rest.h"

namespace brz {

namespace {

constexpr Millis kLongestPeriod = RestWatch::kLongestWatch / 2;

}  // namespace

std::vector<PropertyValue> RestWatch::state() const {
  std::vector<PropertyValue> values;
  forEachProperty(*runtime_, [&values](const std::string&, const Control*,
                                       const PropertyValue& value) { values.push_back(value); });
  return values;
}

void RestWatch::runTo(Millis until, const std::function<void(Millis)>& runTicks) {
  if (!atRest())
    if (Millis at = lookAt(); at >= 0 && at <= until) {
      runTicks(at);
      look();
    }
  if (!atRest()) return runTicks(until);
  std::uint64_t revision = runtime_->revision(), traced = traced_;
  runtime_->skipTime((until - runtime_->now()) / rest_ * rest_);
  runtime_->advanceTo(until);
  if (runtime_->revision() != revision || traced_ != traced) stir();
}

Millis RestWatch::lookAt() {
  if (lookAt_ < 0) {
    period_ = runtime_->timerPeriod(kLongestPeriod + 1);
    if (period_ == 0 || period_ > kLongestPeriod) return -1;
    signs_ = signs();
    lookAt_ = runtime_->now() + period_;
  }
  return lookAt_;
}

void RestWatch::look() {
  bool still = runtime_->now() == lookAt_ && signs() == signs_;
  lookAt_ = -1;
  if (!still) {
    stateWatched_ = false;
    return;  // the next look starts over from here
  }
  std::vector<PropertyValue> now = state();
  if (stateWatched_ && now == state_) {
    rest_ = period_;
    return;
  }
  // The cheap signs held for a period: the next one is watched whole.
  state_ = std::move(now);
  stateWatched_ = true;
  lookAt_ = runtime_->now() + period_;
}

}  // namespace brz
