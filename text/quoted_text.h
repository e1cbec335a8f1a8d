// Text read from the user's input (a list, a file of called numbers, the command line)
// as a message shows it: the bytes that would act on a terminal or forge a line are
// written out as escapes, so a message shows what the input holds and does nothing else.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Characters that move the cursor, end a line or start a terminal sequence: C0, DEL,
// C1 (U+0080 to U+009F) and the line and paragraph separators U+2028 and U+2029.
bool IsControlCharacter(uint32_t c);
// Marks that reorder the text around them on screen (U+200E, U+200F, U+061C, U+202A to
// U+202E, U+2066 to U+2069), so that what a line seems to say is not what it holds.
bool IsDirectionMark(uint32_t c);

// The one escaping of input text: control characters and direction marks as \xNN
// (below 0x80) or \uNNNN, a byte that is not valid UTF-8 as \xNN, and the backslash as
// \\ so that an escape cannot be spelled by the input itself. Anything else as it is.
std::string EscapedText(const std::string& text);

// The text escaped and in double quotes, cut with "…" after most_bytes bytes of input
// (on a character's boundary): "0001.bmp\x0a0666.bmp". A quote inside shows as \".
constexpr size_t kMostQuotedBytes = 40;
std::string QuotedText(const std::string& text, size_t most_bytes = kMostQuotedBytes);
