#pragma once

#include <string_view>

// Texts the main window shows to the user.
namespace parlivo {

inline constexpr std::u16string_view kModelLabelPrefix = u"Model: ";
inline constexpr std::u16string_view kConfirmExitText = u"Are you sure you want to exit?";
inline constexpr std::u16string_view kConfirmExitCaption = u"Confirm Exit";
inline constexpr std::u16string_view kReloadedText = u"Configuration reloaded successfully!";
inline constexpr std::u16string_view kReloadedCaption = u"Config Reloaded";

}  // namespace parlivo
