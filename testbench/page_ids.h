#pragma once
// The dialog template ids of the test pages and the quick-record window. A page's template id is
// its identity: the main window, the batch run and macro playback find pages by it.

namespace page_id {

inline constexpr int kBarcode = 130;
inline constexpr int kMove = 131;
inline constexpr int kMagnetic = 132;
inline constexpr int kRF = 133;
inline constexpr int kIC = 134;
inline constexpr int kPrint = 135;
inline constexpr int kExpert = 136;
inline constexpr int kMacro = 137;
inline constexpr int kQuickRecord = 138;

}  // namespace page_id
