// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <span>
#include <string_view>
namespace brz::assets {
// The pictures stored with the window layouts, by name: "icon", "crosshair",
// "mosquito_left", "mosquito_right", "splash", "portrait", "flash",
// "magazine", "title", "logo", and "icon_large", a larger rendering of "icon"
// for the window manager. An unknown name gives an empty span.
std::span<const unsigned char> layoutPicture(std::string_view name);
}  // namespace brz::assets
