#include "win/dialog_template.h"

#include <cstring>
#include <utility>

DialogTemplate::DialogTemplate(DWORD style, DWORD exStyle, short width, short height,
                               std::wstring title, std::wstring fontName, WORD pointSize)
    : m_style(style),
      m_exStyle(exStyle),
      m_width(width),
      m_height(height),
      m_title(std::move(title)),
      m_fontName(std::move(fontName)),
      m_pointSize(pointSize) {}

DWORD DialogTemplate::Style() const noexcept {
  return m_fontName.empty() ? (m_style & ~static_cast<DWORD>(DS_SETFONT)) : (m_style | DS_SETFONT);
}

std::vector<DWORD> DialogTemplate::Build() const {
  std::vector<WORD> words;
  DLGTEMPLATE header{};
  header.style = Style();
  header.dwExtendedStyle = m_exStyle;
  header.cdit = 0;
  header.x = 0;
  header.y = 0;
  header.cx = m_width;
  header.cy = m_height;
  static_assert(sizeof(DLGTEMPLATE) % sizeof(WORD) == 0);
  words.resize(sizeof(DLGTEMPLATE) / sizeof(WORD));
  std::memcpy(words.data(), &header, sizeof(header));

  const auto appendText = [&words](const std::wstring& text) {
    words.insert(words.end(), text.begin(), text.end());
    words.push_back(0);
  };
  words.push_back(0);  // no menu
  words.push_back(0);  // the predefined dialog class
  appendText(m_title);
  if (!m_fontName.empty()) {
    words.push_back(m_pointSize);
    appendText(m_fontName);
  }

  std::vector<DWORD> block((words.size() * sizeof(WORD) + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
  std::memcpy(block.data(), words.data(), words.size() * sizeof(WORD));
  return block;
}
