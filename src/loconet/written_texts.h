// The words of the written rendering, exactly as the monitor has always
// shown them (Latin-1).
#pragma once

#include "loconet/latin1_literal.h"

namespace bl::texts::written {

inline constexpr Latin1Lit kPowerOff{"Gleisspannung ausgeschaltet"};
inline constexpr Latin1Lit kPowerOn{"Gleisspannung eingeschaltet"};
inline constexpr Latin1Lit kLoco{"Lok"};
inline constexpr Latin1Lit kSpeedIs{" = Geschw."};
inline constexpr Latin1Lit kIs{" = "};
inline constexpr Latin1Lit kBackward{"rückwärts "};
inline constexpr Latin1Lit kForward{"vorwärts "};
inline constexpr Latin1Lit kSwitch{"Mag.-Art.:"};
inline constexpr Latin1Lit kGreenDash{" - grün "};
inline constexpr Latin1Lit kRedDash{" - rot "};
inline constexpr Latin1Lit kOutputOn{"- ein "};
inline constexpr Latin1Lit kOutputOff{"- aus "};
inline constexpr Latin1Lit kSensor{"Rückmelder"};
inline constexpr Latin1Lit kOccupied{" = belegt"};
inline constexpr Latin1Lit kFree{" = frei"};
inline constexpr Latin1Lit kLongAck{"LongAck: "};
inline constexpr Latin1Lit kAnswer{" Antwort: "};
inline constexpr Latin1Lit kGreen{"grün"};
inline constexpr Latin1Lit kRed{"rot"};
inline constexpr Latin1Lit kSlotQuery{"Statusanfrage nach Slot"};
inline constexpr Latin1Lit kSwitchQuery{"Statusanfrage nach Mag.-Art."};
inline constexpr Latin1Lit kLocoAddressQuery{"Anfrage nach Lokadresse:"};
inline constexpr Latin1Lit kSlot{"Slot "};
inline constexpr Latin1Lit kLocoAddress{" = Lokadr."};
inline constexpr Latin1Lit kSlotSpeed{", Geschw."};
inline constexpr Latin1Lit kCategory{" , Kat:"};
inline constexpr Latin1Lit kCategoryEnd{" ,"};
inline constexpr Latin1Lit kKennbox{"Kennbox Sender"};
inline constexpr Latin1Lit kKennboxSpeed{": Geschw.="};
inline constexpr Latin1Lit kKmh{" Km/h"};
inline constexpr Latin1Lit kKennboxPoll{" Senderabfrage "};
inline constexpr Latin1Lit kBlockFree{": Block frei"};
inline constexpr Latin1Lit kBlockOccupied{": Block belegt"};
inline constexpr Latin1Lit kKennboxAddress{": Adr.="};
inline constexpr Latin1Lit kKennboxCategory{" Kat.="};
inline constexpr Latin1Lit kS2ToS1{", von S2 nach S1"};
inline constexpr Latin1Lit kS1ToS2{", von S1 nach S2"};
inline constexpr Latin1Lit kHexPrefix{"HEX: "};

} // namespace bl::texts::written
