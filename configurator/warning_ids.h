#pragma once
// Control ids of the warning dialog (CWarningDlg). OK and Cancel carry the dialog results'
// numbers (IDOK, IDCANCEL), so the dialog's own OK and Cancel handling ends it.

namespace warning_id {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kFirstText = 1001;
inline constexpr int kSecondText = 1002;
inline constexpr int kThirdText = 1003;
}  // namespace warning_id
