#pragma once
// A settings file read a line at a time through a small buffer, so that a file of any size costs
// the same memory, and the byte positions a text edit of it touches. A line longer than
// LongestLine is handed out cut, its end found by reading on through the buffer; one longer than
// LongestReadLine fails the read. A file that starts
// with a UTF-16 byte order mark (little- or big-endian) is handed out decoded to single-byte text,
// positions counting characters, and an edit of it is written back in the same UTF-16, as the
// platform's profile functions keep such a file.

#include <cstdint>
#include <string>
#include <vector>

#include "TextLines.h"

enum class TextEncoding { SingleByte, Utf16LittleEndian, Utf16BigEndian };
inline constexpr std::size_t Utf16MarkLength = 2;

// What FileLines reads from: the platform's file, from its start.
class ByteStream {
public:
    virtual ~ByteStream() = default;
    // Up to `size` bytes into `buffer`; 0 at the end. Throws on a read error.
    virtual std::size_t ReadSome(char* buffer, std::size_t size) = 0;
};

class FileLines : public LineSource {
public:
    // Reads the first bytes at once to learn the encoding.
    explicit FileLines(ByteStream& stream);
    // Throws std::runtime_error at a line longer than LongestReadLine.
    std::optional<SourceLine> NextLine() override;
    TextEncoding Encoding() const { return encoding_; }

private:
    // Appends the next chunk, decoded; false at the end of the file.
    bool Fill();
    // The line that starts at handedOut_ and has more than LongestLine characters, cut.
    SourceLine LongLine();
    void Append(std::string_view bytes);

    ByteStream& stream_;
    TextEncoding encoding_ = TextEncoding::SingleByte;
    std::string text_;           // decoded characters from position_ on
    std::size_t position_ = 0;   // text position of text_[0]
    std::size_t handedOut_ = 0;  // characters of text_ already handed out
    std::size_t searched_ = 0;   // characters of text_ known to hold no line break after handedOut_
    std::string oddByte_;        // a UTF-16 byte whose partner is in the next chunk
    std::string longHead_;       // the start of the long line handed out last
    bool atEnd_ = false;
};

// A text edit in file bytes: keep the bytes before KeepBefore, write Inserted, then go on from
// ResumeAt.
struct ByteEdit {
    std::uint64_t KeepBefore = 0;
    std::string Inserted;
    std::uint64_t ResumeAt = 0;
};

std::vector<ByteEdit> ToBytes(const TextEdits& edits, TextEncoding encoding);
