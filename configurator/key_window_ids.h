#pragma once
// Control ids of the small key windows: the key capture window (CSingleKey), the text input
// window (CSingleKeyDlg) and the rapid-fire window (CFireKey).

// Rows every one of them has. OK and Cancel carry the dialog's own IDOK and IDCANCEL, so their
// clicks, Enter and Escape end the window in one place.
namespace dialog_id {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kTitle = 1001;
inline constexpr int kPrompt = 1002;
}  // namespace dialog_id

namespace single_key_id {
inline constexpr int kKeyField = 1003;
}  // namespace single_key_id

namespace single_key_dlg_id {
inline constexpr int kText = 0x5002;
}  // namespace single_key_dlg_id

namespace fire_key_id {
inline constexpr int kKeyField = 1003;
// The four kinds, a radio group in kind order: left, right, middle button, keyboard key.
inline constexpr int kKindGroup = 1;
inline constexpr int kFirstKind = 1010;
inline constexpr int kLastKind = 1013;
inline constexpr int kFirstNumberLabel = 1020;
inline constexpr int kSecondNumberLabel = 1021;
inline constexpr int kFirstNumber = 0x5001;
inline constexpr int kSecondNumber = 0x5002;
}  // namespace fire_key_id
