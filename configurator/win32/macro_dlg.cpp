#include "configurator/win32/macro_dlg.h"

#include <algorithm>

#include "configurator/macro_buttons.h"
#include "configurator/macro_layout.h"
#include "configurator/win32/exchange_file_dialog.h"
#include "configurator/win32/single_key_dlg.h"
#include "configurator/win32/warning_dlg.h"
#include "contract/window_messages.h"
#include "settings/folders.h"
#include "settings/macro_name.h"
#include "settings/profile_files.h"
#include "settings/skin_texts.h"
#include "skin/bmp_menu.h"
#include "skin/core/list_rows.h"
#include "skin/skin_image.h"
#include "win/scoped_select.h"
#include "win/text.h"

using namespace macro_dlg_id;

namespace {

// The exchange files of macros: "Macro File(*.MSDB)|*.MSDB|" as the file dialogs take it.
constexpr wchar_t kMacroFileFilter[] = L"Macro File(*.MSDB)\0*.MSDB\0";
constexpr wchar_t kMacroFileExtension[] = L"MSDB";
constexpr wchar_t kMacroFilePattern[] = L"*.MSDB";
constexpr wchar_t kMacroFileDot[] = L".MSDB";
// Below the program folder: where exchanged macros are looked for first.
constexpr char16_t kMacroExchangeFolder[] = u"Macro";

// The warnings' texts in section WARNING.
constexpr int kWarningTitle = 1;
constexpr int kWarningLibraryFull = 12;
constexpr int kWarningUnbalanced = 13;
constexpr int kWarningDeleteTitle = 9;
constexpr int kWarningDelete = 10;
constexpr int kWarningUnreadable = 11;

constexpr int kRowOperations[] = {kDeleteRow, kUp, kDown, kCopy, kCut, kPaste};
constexpr int kOptionControls[] = {kDelayBox, kFixedDelayBox, kRepeatCountBox,
                                   kMode1Box, kMode3Box,      kFixedDelay};

void SetNumber(HWND edit, int value) {
  ::SetWindowTextW(edit, std::to_wstring(value).c_str());
}

int NumberOf(HWND edit) {
  return ParseDecimal(ToU16(WindowText(edit)));
}

// The caret after the last character, as typing leaves it.
void CaretToEnd(HWND edit) {
  const int length = ::GetWindowTextLengthW(edit);
  ::SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(length), static_cast<LPARAM>(length));
}

}  // namespace

CMacroDlg::CMacroDlg(int slot)
    : SkinnedDialog(kMacroLayout), m_initialSlot(slot), m_library(DataFolder()) {}

CMacroDlg::~CMacroDlg() {
  m_menu.reset();
  Destroy();
}

std::optional<MacroChoice> CMacroDlg::Choose(HWND owner, int slot) {
  CMacroDlg editor(slot);
  if (editor.DoModal(owner) != kResultOk) return std::nullopt;
  return editor.Selected();
}

MacroChoice CMacroDlg::Selected() const {
  MacroChoice choice;
  if (m_name.empty()) return choice;
  choice.Name = m_name;
  choice.Slot = m_library.FindMacroSlot(m_name);
  choice.LoopTime = m_editor.Current().LoopTime;
  return choice;
}

CListBoxEx& CMacroDlg::RecordList() {
  return ListBox(kRecordList);
}

CListBoxEx& CMacroDlg::MacroList() {
  return ListBox(kMacroList);
}

BOOL CMacroDlg::OnReady() {
  ::SetWindowTextW(Hwnd(), AsWide(SkinText(u"MACRO", 1)));
  for (const int id : {kFixedDelay, kRepeatCount}) {
    const HWND edit = Edit(id).Hwnd();
    ::SetWindowLongPtrW(edit, GWL_STYLE, ::GetWindowLongPtrW(edit, GWL_STYLE) | ES_NUMBER);
  }
  // A check box shows whether it is ticked while it is disabled too (during a recording).
  for (const int id : {kDelayBox, kFixedDelayBox, kRepeatCountBox, kMode1Box, kMode3Box}) {
    Button(id).SetTickedDisabledFace(true);
  }
  for (std::size_t i = 0; i < m_buttonNames.size(); ++i) {
    m_buttonNames[i] = GeneralText(u"FUNCTION_STRING", static_cast<int>(i) + 1);
  }
  FillMacroList(m_initialSlot);
  // The hook delivers nothing until a recording starts.
  if (m_hook.Load()) m_hook.Install(Hwnd(), false);
  return TRUE;
}

void CMacroDlg::PaintWindow(HDC dc, const RECT& client) {
  SkinnedDialog::PaintWindow(dc, client);
  const UniquePen frame(::CreatePen(PS_SOLID, macro_layout::kFrameWidth,
                                    static_cast<COLORREF>(macro_layout::kFrameColour)));
  const UniquePen divider(
      ::CreatePen(PS_SOLID, 1, static_cast<COLORREF>(macro_layout::kDividerColour)));
  {
    const ScopedSelect pen(dc, frame.get());
    const ScopedSelect brush(dc, ::GetStockObject(NULL_BRUSH));
    for (const TableRect& rect : macro_layout::kFrames) {
      ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
  }
  const ScopedSelect pen(dc, divider.get());
  const TableRect& line = macro_layout::kDivider;
  ::MoveToEx(dc, line.left, line.top, nullptr);
  ::LineTo(dc, line.right, line.bottom);
}

bool CMacroDlg::PreTranslateMessage(MSG& msg) {
  // Esc, Enter and Space neither close the window nor press a button. The delay editor acts on
  // the release of Enter and Esc, which passes.
  if (msg.message == WM_KEYDOWN &&
      (msg.wParam == VK_ESCAPE || msg.wParam == VK_RETURN || msg.wParam == VK_SPACE) &&
      (msg.hwnd == Hwnd() || ::IsChild(Hwnd(), msg.hwnd))) {
    return true;
  }
  return SkinnedDialog::PreTranslateMessage(msg);
}

void CMacroDlg::OnOK() {
  CommitDelayEdit();
  if (m_editor.Recording()) StopRecording();
  SaveChanges();
  End(kResultOk);
}

void CMacroDlg::OnCancel() {
  // Leave, and closing the window: what was recorded or typed is kept all the same.
  CommitDelayEdit();
  if (m_editor.Recording()) StopRecording();
  SaveChanges();
  End(kResultLeave);
}

void CMacroDlg::OnDestroy() {
  ::KillTimer(Hwnd(), kFixedDelayTimer);
  m_menu.reset();
  m_hook.Remove();
  SetMsgHandled(false);
}

void CMacroDlg::OnCommand(UINT id, UINT code, HWND) {
  if (code != BN_CLICKED) {
    SetMsgHandled(false);
    return;
  }
  CloseMenu();
  switch (static_cast<int>(id)) {
    case kNew:
      OnNew();
      break;
    case kDelete:
      OnDelete();
      break;
    case kImport:
      OnImport();
      break;
    case kExport:
      OnExport();
      break;
    case kRecord:
      OnRecord();
      break;
    case kInsertRecord:
      OnInsertRecord();
      break;
    case kStop:
      OnStop();
      break;
    case kMouseClick:
      OnMouseClick();
      break;
    case kDelayBox:
    case kFixedDelayBox:
      OnDelayBox(static_cast<int>(id));
      break;
    case kRepeatCountBox:
    case kMode1Box:
    case kMode3Box:
      OnLoopBox(static_cast<int>(id));
      break;
    case kDeleteRow:
    case kUp:
    case kDown:
    case kCopy:
    case kCut:
    case kPaste:
      OnRowOperation(static_cast<int>(id));
      break;
    default:
      // OK and Leave end the window through OnOK and OnCancel.
      SetMsgHandled(false);
      break;
  }
}

void CMacroDlg::OnBackgroundPress(UINT, POINT) {
  CloseMenu();
  SetMsgHandled(false);  // the background drags the window
}

// ---------------------------------------------------------------- the library

void CMacroDlg::FillMacroList(int slot, int row) {
  CommitDelayEdit();
  m_macros = m_library.ListMacroNames();
  CListBoxEx& list = MacroList();
  list.ResetRows();
  int selected = std::min(row, static_cast<int>(m_macros.size()) - 1);
  for (std::size_t i = 0; i < m_macros.size(); ++i) {
    list.AddListRow(ToWide(m_macros[i].Name), 0);
    if (m_macros[i].Slot == slot) selected = static_cast<int>(i);
  }
  list.SelectRow(selected);
  LoadSelectedMacro();
}

void CMacroDlg::LoadSelectedMacro() {
  CommitDelayEdit();
  ::KillTimer(Hwnd(), kFixedDelayTimer);
  const int row = MacroList().SelectedRow();
  if (row >= 0 && row < static_cast<int>(m_macros.size())) {
    m_name = m_macros[static_cast<std::size_t>(row)].Name;
    m_editor.Load(m_library.ReadMacroFile(m_name));
  } else {
    m_name.clear();
    m_editor.Unload();
  }
  ShowRecords();
  ShowOptions();
  SetNumber(Edit(kFixedDelay).Hwnd(), m_editor.FixedDelay());
  SetNumber(Edit(kRepeatCount).Hwnd(), m_editor.RepeatCount());
  ShowTotals();
  UpdateControls();
}

void CMacroDlg::OnMacroListClick(int, std::uintptr_t) {
  if (m_editor.Recording()) return;
  LoadSelectedMacro();
}

void CMacroDlg::OnNew() {
  if (m_editor.Recording()) StopRecording();
  if (!m_library.HasFreeSlot()) {
    Warn(kWarningTitle, kWarningLibraryFull);
    return;
  }
  std::u16string name;
  for (;;) {
    CSingleKeyDlg ask(SkinText(u"SINGLEKEY", 5), SkinText(u"SINGLEKEY", 6), name);
    if (ask.DoModal(Hwnd()) != IDOK || ask.Text().empty()) return;
    name = ask.Text();
    // A name the file system would refuse or misread is asked for again, as typed.
    if (IsValidMacroName(name)) break;
  }
  const MacroSlotResult created = m_library.NewMacro(name);
  if (created.Refusal == MacroRefusal::kLibraryFull) {
    Warn(kWarningTitle, kWarningLibraryFull);
  }
  if (!created.Ok()) return;  // a macro of that name exists: nothing to say
  FillMacroList(created.Slot);
}

void CMacroDlg::OnDelete() {
  const int row = MacroList().SelectedRow();
  if (row < 0 || row >= static_cast<int>(m_macros.size())) return;
  // Keys typed to answer are not to be recorded.
  if (m_editor.Recording()) StopRecording();
  CommitDelayEdit();
  SaveChanges();
  if (!Warn(kWarningDeleteTitle, kWarningDelete)) return;
  ::KillTimer(Hwnd(), kFixedDelayTimer);
  // Whatever else happened meanwhile, the macro of that row goes.
  const std::u16string name = m_macros[static_cast<std::size_t>(row)].Name;
  m_library.DeleteMacro(name, m_agent);
  if (const HWND owner = ::GetWindow(Hwnd(), GW_OWNER)) {
    ::PostMessageW(owner, configurator_msg::kMacroDeleted, 0, 0);
  }
  m_editor.Unload();  // nothing of it is saved again
  FillMacroList(-1, row);
}

void CMacroDlg::OnImport() {
  if (m_editor.Recording()) StopRecording();
  CommitDelayEdit();
  SaveChanges();
  const std::u16string path =
      AskExchangeFile(Hwnd(), false,
                      {kMacroFileFilter, kMacroFileExtension,
                       ToWide(ProgramFolder() + kMacroExchangeFolder), kMacroFilePattern});
  if (path.empty()) return;
  const MacroSlotResult imported = m_library.ImportMacroFile(path, m_agent);
  if (!imported.Ok()) {
    Warn(kWarningTitle,
         imported.Refusal == MacroRefusal::kLibraryFull ? kWarningLibraryFull : kWarningUnreadable);
    return;
  }
  FillMacroList(imported.Slot);
}

void CMacroDlg::OnExport() {
  if (!m_editor.HasMacro()) return;
  CommitDelayEdit();
  const std::u16string path = AskExchangeFile(
      Hwnd(), true,
      {kMacroFileFilter, kMacroFileExtension, ToWide(ProgramFolder() + kMacroExchangeFolder),
       // Its own name: importing the file gives the macro back under it.
       IsValidMacroName(m_name) ? ToWide(m_name) + kMacroFileDot : kMacroFilePattern});
  if (!path.empty()) MacroLibrary::ExportMacro(m_editor.Current(), path);
}

// ---------------------------------------------------------------- recording

void CMacroDlg::StartRecording(bool insert) {
  if (!Editable() || m_editor.Recording()) return;
  CommitDelayEdit();
  TakeSelectedRow();
  m_editor.StartRecording(insert);
  ShowRecords();
  ::UpdateWindow(RecordList().Hwnd());
  UpdateControls();
  m_hook.Enable(true);
}

void CMacroDlg::StopRecording() {
  m_hook.Enable(false);
  m_editor.StopRecording();
  UpdateControls();
  const bool balanced = IsMacroBalanced(m_editor.Current().StoredRecords());
  // Stored whatever the answer: the warning only informs.
  SaveChanges();
  if (!balanced && m_editor.HasMacro()) Warn(kWarningTitle, kWarningUnbalanced);
}

void CMacroDlg::OnStop() {
  if (m_editor.Recording()) StopRecording();
}

LRESULT CMacroDlg::OnHookKey(WPARAM vk, LPARAM flags) {
  if (!m_editor.Recording()) return 0;
  // Inserting goes after the row selected now: it may have been clicked meanwhile.
  if (m_editor.InsertMode()) TakeSelectedRow();
  if (m_editor.OnHookKey(static_cast<unsigned>(vk), static_cast<unsigned>(flags),
                         ::GetTickCount())) {
    ShowRecords();
    ShowTotals();
  }
  return 0;
}

// ---------------------------------------------------------------- rows

void CMacroDlg::TakeSelectedRow() {
  m_editor.SelectRow(RecordList().SelectedRow());
}

void CMacroDlg::OnRowOperation(int id) {
  if (!Editable() || m_editor.Recording()) return;
  CommitDelayEdit();
  TakeSelectedRow();
  switch (id) {
    case kDeleteRow:
      m_editor.DeleteRow();
      break;
    case kUp:
      m_editor.MoveUp();
      break;
    case kDown:
      m_editor.MoveDown();
      break;
    case kCopy:
      m_editor.Copy();
      break;
    case kCut:
      m_editor.Cut();
      break;
    case kPaste:
      m_editor.Paste();
      break;
    default:
      return;
  }
  ShowRecords();
  SaveChanges();
  UpdateControls();
}

void CMacroDlg::OnMouseClick() {
  if (!Editable() || m_editor.Recording()) return;
  CommitDelayEdit();
  RECT button{};
  ::GetWindowRect(Button(kMouseClick).Hwnd(), &button);
  auto menu = std::make_unique<CBmpMenu>();
  menu->SetRowFaces(SkinPath(kSkinBackgroundFolder, L"menuitem-n.png"),
                    SkinPath(kSkinBackgroundFolder, L"menuitem-d.png"), L"", L"");
  for (int item = 1; item <= 3; ++item) {
    menu->AddRow(ToWide(m_buttonNames[static_cast<std::size_t>(item - 1)]), item);
  }
  // Below the button, or above it when the screen ends first.
  const MenuRowSize size = menu->WindowSize(menu->RowCount());
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int y =
      button.bottom + size.height <= work.bottom ? button.bottom : button.top - size.height;
  menu->SetPosition(button.left, y);
  if (menu->Open(Hwnd())) m_menu = std::move(menu);
}

void CMacroDlg::OnMenuChoice(const DecodedMenuChoice& choice) {
  CloseMenu();
  if (!Editable() || m_editor.Recording()) return;
  CommitDelayEdit();
  TakeSelectedRow();
  if (!m_editor.InsertMouseClick(choice.rowId)) return;
  ShowRecords();
  SaveChanges();
}

void CMacroDlg::CloseMenu() {
  m_menu.reset();
}

void CMacroDlg::OnDelayEdited(int row, int value) {
  // The list shows what was typed in that row: it is shown again as the record now holds it.
  if (row >= 0 && row < static_cast<int>(m_shownRows.size())) m_shownRows[row].first.clear();
  TakeSelectedRow();
  if (Editable() && !m_editor.Recording()) m_editor.SetRowDelay(row, value);
  ShowRecords();
  SaveChanges();
}

void CMacroDlg::CommitDelayEdit() {
  CListBoxEx& list = RecordList();
  if (list.EditingRow() >= 0) list.CommitEdit();
  // The value arrives as a posted message: take it now, while its row is still the row edited.
  MSG msg{};
  while (
      ::PeekMessageW(&msg, Hwnd(), kListDelayEditedMessage, kListDelayEditedMessage, PM_REMOVE)) {
    OnDelayEdited(static_cast<int>(msg.lParam), static_cast<int>(msg.wParam));
  }
}

// ---------------------------------------------------------------- options

void CMacroDlg::OnDelayBox(int id) {
  if (!Editable() || m_editor.Recording()) return;
  CommitDelayEdit();
  TakeSelectedRow();
  const bool ticked = Button(id).IsTicked();
  if (id == kDelayBox) {
    m_editor.ClickDelayBox(ticked);
  } else {
    m_editor.ClickFixedDelayBox(ticked);
  }
  // Delays may be shown or hidden now.
  ShowOptions();
  ShowRecords();
  SaveChanges();
}

void CMacroDlg::OnLoopBox(int id) {
  if (!Editable() || m_editor.Recording()) return;
  const MacroEditor::LoopBox box = id == kRepeatCountBox ? MacroEditor::LoopBox::kRepeatCount
                                   : id == kMode1Box     ? MacroEditor::LoopBox::kMode1
                                                         : MacroEditor::LoopBox::kMode3;
  m_editor.ClickLoopBox(box, Button(id).IsTicked());
  ShowOptions();
  SetNumber(Edit(kRepeatCount).Hwnd(), m_editor.RepeatCount());
  SaveChanges();
  UpdateControls();
}

void CMacroDlg::OnEditKeyUp(UINT, int tag) {
  if (!Editable() || m_editor.Recording()) return;
  if (tag == kRepeatCountTag) {
    const HWND edit = Edit(kRepeatCount).Hwnd();
    const int typed = NumberOf(edit);
    if (typed > kMaxLoopTime) {
      SetNumber(edit, kMaxLoopTime);
      CaretToEnd(edit);
    }
    m_editor.SetRepeatCount(typed);
  } else if (tag == kFixedDelayTag) {
    const int typed = NumberOf(Edit(kFixedDelay).Hwnd());
    ::KillTimer(Hwnd(), kFixedDelayTimer);
    if (typed < kMinFixedDelayMs) SetTimer(kFixedDelayTimer, kFixedDelayRestoreMs);
    m_editor.SetFixedDelay(typed);
  }
  SaveChanges();
}

void CMacroDlg::OnFixedDelayTimer() {
  ::KillTimer(Hwnd(), kFixedDelayTimer);
  const HWND edit = Edit(kFixedDelay).Hwnd();
  // What the editor records with: never less than 10 ms.
  SetNumber(edit, m_editor.FixedDelay());
  CaretToEnd(edit);
}

// ---------------------------------------------------------------- showing the state

void CMacroDlg::ShowRecords() {
  std::vector<std::pair<std::wstring, std::uintptr_t>> rows;
  rows.reserve(static_cast<std::size_t>(m_editor.RowCount()));
  for (int row = 0; row < m_editor.RowCount(); ++row) {
    const MacroRecord& record = m_editor.RowRecord(row);
    rows.emplace_back(ToWide(MacroRowText(record, m_buttonNames)), MacroRowData(record));
  }
  // Only the rows between an unchanged beginning and an unchanged end are replaced, so the
  // list keeps its scroll position and an added row costs one insertion.
  std::size_t head = 0;
  while (head < rows.size() && head < m_shownRows.size() && rows[head] == m_shownRows[head]) {
    ++head;
  }
  std::size_t tail = 0;
  while (tail < rows.size() - head && tail < m_shownRows.size() - head &&
         rows[rows.size() - 1 - tail] == m_shownRows[m_shownRows.size() - 1 - tail]) {
    ++tail;
  }
  CListBoxEx& list = RecordList();
  const bool many = m_shownRows.size() - head - tail > 8 || rows.size() - head - tail > 8;
  if (many) ::SendMessageW(list.Hwnd(), WM_SETREDRAW, FALSE, 0);
  for (std::size_t i = m_shownRows.size() - tail; i > head; --i) {
    list.DeleteRow(static_cast<int>(i - 1));
  }
  for (std::size_t i = head; i < rows.size() - tail; ++i) {
    list.InsertListRow(static_cast<int>(i), rows[i].first, rows[i].second);
  }
  if (many) {
    ::SendMessageW(list.Hwnd(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list.Hwnd(), nullptr, TRUE);
  }
  m_shownRows = std::move(rows);
  list.SelectRow(m_editor.SelectedRow());
  ShowTotals();
}

void CMacroDlg::ShowOptions() {
  Button(kDelayBox).SetTicked(m_editor.DelayBoxTicked());
  Button(kFixedDelayBox).SetTicked(m_editor.FixedDelayBoxTicked());
  Button(kRepeatCountBox).SetTicked(m_editor.LoopBoxTicked(MacroEditor::LoopBox::kRepeatCount));
  Button(kMode1Box).SetTicked(m_editor.LoopBoxTicked(MacroEditor::LoopBox::kMode1));
  Button(kMode3Box).SetTicked(m_editor.LoopBoxTicked(MacroEditor::LoopBox::kMode3));
}

void CMacroDlg::ShowTotals() {
  Label(kTotalDelay).SetText(std::to_wstring(m_editor.TotalDelayMs()));
  Label(kRowCount).SetText(std::to_wstring(std::max(m_editor.RowCount(), 0)));
}

bool CMacroDlg::Editable() const {
  // A macro whose name the file system would refuse can only be deleted.
  return m_editor.HasMacro() && IsValidMacroName(m_name);
}

void CMacroDlg::UpdateControls() {
  const bool recording = m_editor.Recording();
  const bool editing = Editable() && !recording;
  const auto enable = [this](int id, bool on) {
    if (Window* control = Controls().Find(id)) ::EnableWindow(control->Hwnd(), on ? TRUE : FALSE);
  };
  enable(kRecord, editing);
  enable(kInsertRecord, editing);
  enable(kStop, recording);
  enable(kMouseClick, editing);
  for (const int id : kRowOperations) enable(id, editing);
  enable(kPaste, editing && m_editor.HasClipboard());
  for (const int id : kOptionControls) enable(id, editing);
  enable(kRepeatCount, editing && m_editor.RepeatCountUsed());
  // The record list stays enabled: it shows the keys as they are recorded, and in insert mode
  // its selection is where they go. Only its delays are not edited meanwhile.
  RecordList().SetDelayEditing(editing);
  enable(kMacroList, !recording);
  enable(kOk, !recording);
  enable(kLeave, !recording);
  enable(kDelete, !m_macros.empty());
  enable(kExport, m_editor.HasMacro());
}

// ---------------------------------------------------------------- saving

void CMacroDlg::SaveChanges() {
  if (m_editor.Recording()) return;  // a recording is saved when it stops
  const unsigned changes = m_editor.TakeChanges();
  ShowTotals();
  if (changes == MacroEditor::kNoChange || !Editable()) return;
  const Macro macro = m_editor.Current();
  if (!m_library.SaveMacro(macro)) return;
  if (changes & MacroEditor::kRecordsChanged) {
    const int slot = m_library.FindMacroSlot(m_name);
    if (slot >= 0) m_agent.MacroSlotChanged(slot, false);
  }
  if (changes & MacroEditor::kPlaybackChanged) {
    // The buttons as the agent will read them: from the files.
    ProfileSet files{};
    ResetProfileSet(files);
    LoadProfileFiles(files, DataFolder());
    for (const ProfileButton& button : ButtonsPlayingMacro(files, m_name)) {
      m_agent.ButtonMacroChanged(button.profile, button.button);
    }
  }
}

bool CMacroDlg::Warn(int first, int second) {
  CWarningDlg warning(SkinText(u"WARNING", first), SkinText(u"WARNING", second), u"");
  return warning.DoModal(Hwnd()) == IDOK;
}
