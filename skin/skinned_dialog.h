#pragma once
// Base of the borderless skinned windows. A dialog from an empty template whose client area is
// its background picture, whose outline is cut from a mask (white cut away, RegionFromBitmap),
// whose background drags it, and whose controls come from its control table (see
// skin/core/control_table.h). Run it modally (DoModal: the configurator's windows, centred over
// their owner by the dialog rules) or modeless (CreateModeless: the gallery, the progress bar).
// Labels are transparent on the background, so the window does not clip its children; painting
// is double-buffered.
//
//   // warning_ids.h and warning_layout.h hold the ids and kWarningLayout (the table).
//   class CWarningDlg : public SkinnedDialog {
//    public:
//     CWarningDlg() : SkinnedDialog(kWarningLayout) {}
//    private:
//     BOOL OnReady() override;  // the controls exist: set texts and states
//     void OnOk() { End(IDOK); }
//     BEGIN_MESSAGE_TABLE(CWarningDlg, SkinnedDialog)
//       COMMAND_HANDLER(warning_id::kOk, BN_CLICKED, OnOk)
//     END_MESSAGE_TABLE()
//   };
#include <windows.h>

#include <vector>

#include "skin/control_set.h"
#include "skin/core/control_table.h"
#include "skin/skin_image_set.h"
#include "skin/skin_prefetch.h"
#include "win/dialog.h"

class SkinnedDialog : public Dialog {
 public:
  // `layout` (and its table) must outlive the object; it is normally a constant. The template
  // gives the title, the styles and the size kept when the layout has neither a size nor a
  // background picture; it must not clip children (transparent labels).
  explicit SkinnedDialog(const WindowLayout& layout,
                         DialogTemplate dialogTemplate = DialogTemplate(WS_POPUP, 0, 10, 10));
  ~SkinnedDialog() override;

  const WindowLayout& Layout() const noexcept { return m_layout; }
  // Whether the mask gave the window its outline.
  bool Shaped() const noexcept { return m_shaped; }
  // The page shown (ShowPage), 0 before the first.
  int Page() const noexcept { return m_page; }

 protected:
  // Called once the window has its size, its outline and the table's controls. The result is
  // OnInitDialog's: TRUE lets the system give the focus to the first control.
  virtual BOOL OnReady() { return TRUE; }
  // Paints the client area: the background picture stretched over it. A window that shows more
  // calls this first and draws over it.
  virtual void PaintWindow(HDC dc, const RECT& client);

  // Pictures the first paint draws besides the background and the controls (PNG files, skin
  // pictures upright), decoded ahead while the window is made.
  virtual std::vector<ImageFile> FirstPaintPictures() const { return {}; }

  // Shows the controls of page `page` (rows on other pages are hidden) and remembers it; false,
  // and nothing changes, when that page is already shown.
  bool ShowPage(int page);

  // For a window with pages, called in its constructor: only the controls of `firstPage` and
  // of every page are made with the window; each other page's are made when it is first shown
  // or as soon as the window has painted and has nothing else to do, whichever comes first
  // (OnPageMade then sets them). The window appears sooner, and about a tenth of a second after
  // its first paint every control is there.
  void MakePagesLater(int firstPage) noexcept { m_firstPage = firstPage; }
  // Called after the controls of `page` were made later (MakePagesLater): set them from the
  // window's state, as they would have been set had they been there all along.
  virtual void OnPageMade(int /*page*/) {}
  // Whether the controls of `page` are made (always, without MakePagesLater).
  bool PageMade(int page) const noexcept { return (m_controls.PagesToMake() & PageBit(page)) == 0; }

  // The controls; a control of a page not made yet makes that page first.
  ControlSet& Controls() noexcept { return m_controls; }
  const ControlSet& Controls() const noexcept { return m_controls; }
  SkinImageSet& Images() noexcept { return m_images; }
  CBitmapBtn& Button(int id) { return MadeControls(id).Button(id); }
  CPngSliderBar& Slider(int id) { return MadeControls(id).Slider(id); }
  CListBoxEx& ListBox(int id) { return MadeControls(id).ListBox(id); }
  CStaticTrans& Label(int id) { return MadeControls(id).Label(id); }
  CClrEdit& Edit(int id) { return MadeControls(id).Edit(id); }
  CDMarker& Marker(int id) { return MadeControls(id).Marker(id); }
  ButtonGroup& Group(int number) { return m_controls.Group(number); }

  BEGIN_MESSAGE_TABLE(SkinnedDialog, Dialog)
    MSG_WM_PAINT(OnPaint)
    MSG_WM_ERASEBKGND(OnEraseBackground)
    MSG_WM_PRINTCLIENT(OnPrintClient)
    MSG_WM_LBUTTONDOWN(OnBackgroundPress)
    TIMER_ID_HANDLER(kMakePagesTimer, OnMakePagesTimer)
    MESSAGE_HANDLER_THEN_DEFAULT(WM_NCDESTROY, OnNcDestroy)
  END_MESSAGE_TABLE()

 private:
  void OnCreating() final;
  BOOL OnInitDialog() final;
  // The background and the outline, from the prefetch: once per creation.
  void TakePrefetched();
  void OnPaint();
  BOOL OnEraseBackground(HDC) { return TRUE; }
  void OnPrintClient(HDC dc, UINT flags);
  void OnBackgroundPress(UINT keys, POINT point);
  LRESULT OnNcDestroy(WPARAM, LPARAM);
  // Timers come after every pending paint and input: this one fires once the window has
  // painted, and again until every page is made, a few controls each time, so a click in the
  // meantime waits milliseconds at most.
  static constexpr UINT_PTR kMakePagesTimer = 0x5D1A;
  static constexpr UINT kMakePagesUnpaintedMs = 500;
  static constexpr std::size_t kRowsPerStep = 8;
  void OnMakePagesTimer();
  // Makes the controls of `page` when they are not made yet, then OnPageMade.
  void MakePage(int page);
  ControlSet& MadeControls(int id);
  // Copies the background picture, stretched once into a bitmap of the client's size (by the
  // second thread, for the first paint): GDI+ stretching it at every paint costs milliseconds.
  // False when no such bitmap can be made.
  bool CopyBackground(HDC dc, const RECT& client);

  const WindowLayout& m_layout;
  SkinImageSet m_images;
  ControlSet m_controls;  // after the pictures, so the controls go first
  SkinImage m_background;
  UniqueBitmap m_backgroundCache;  // the background as painted, at m_backgroundCacheSize
  PictureSize m_backgroundCacheSize{};
  HBITMAP m_backgroundPicture = nullptr;  // owned by m_images
  bool m_shaped = false;
  SkinPrefetch m_prefetch;
  PictureSize m_size{};  // the client size from the layout or the PNG header; zero: unknown
  bool m_prefetchTaken = false;
  bool m_painted = false;
  bool m_pagesAfterPaint = false;  // the make-pages timer is set again by the first paint
  int m_page = 0;
  int m_firstPage = 0;  // MakePagesLater's; 0: every control with the window
};
