#pragma once
// UTF-16 <-> UTF-8 for file contents and native file names. A lone surrogate cannot be encoded
// and becomes U+FFFD, so the output is always valid UTF-8; invalid or overlong UTF-8 input
// decodes to U+FFFD per bad byte.

#include <string>
#include <string_view>

void AppendUtf8(std::u16string_view text, std::string& out);
std::string ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view bytes);
