// Buffered, decoding line reading of a settings file.
#include "FileLines.h"

#include <array>
#include <stdexcept>

namespace {

constexpr std::size_t ChunkSize = 64 * 1024;
constexpr std::string_view Utf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view Utf16BigEndianMark = "\xFE\xFF";

// The two bytes of a UTF-16 code unit in the file's order.
std::string UnitBytes(unsigned unit, TextEncoding encoding) {
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    return encoding == TextEncoding::Utf16BigEndian ? std::string{high, low}
                                                    : std::string{low, high};
}

}  // namespace

FileLines::FileLines(ByteStream& stream) : stream_(stream) {
    std::string start;
    std::array<char, Utf16MarkLength> head{};
    while (start.size() < head.size()) {
        const std::size_t read = stream_.ReadSome(head.data(), head.size() - start.size());
        if (read == 0) {
            atEnd_ = true;
            break;
        }
        start.append(head.data(), read);
    }
    if (start == Utf16LittleEndianMark) {
        encoding_ = TextEncoding::Utf16LittleEndian;
    } else if (start == Utf16BigEndianMark) {
        encoding_ = TextEncoding::Utf16BigEndian;
    } else {
        Append(start);
    }
}

void FileLines::Append(std::string_view bytes) {
    if (encoding_ == TextEncoding::SingleByte) {
        text_.append(bytes);
        return;
    }
    std::string pair = oddByte_;
    oddByte_.clear();
    for (char byte : bytes) {
        pair += byte;
        if (pair.size() == 2) {
            const bool bigEndian = encoding_ == TextEncoding::Utf16BigEndian;
            const unsigned low = static_cast<unsigned char>(pair[bigEndian ? 1 : 0]);
            const unsigned high = static_cast<unsigned char>(pair[bigEndian ? 0 : 1]);
            const unsigned unit = low | high << 8;
            text_ += SingleByteOf(unit);
            pair.clear();
        }
    }
    oddByte_ = pair;
}

bool FileLines::Fill() {
    if (atEnd_) {
        return false;
    }
    std::array<char, ChunkSize> chunk{};
    const std::size_t read = stream_.ReadSome(chunk.data(), chunk.size());
    if (read == 0) {
        atEnd_ = true;
        return false;
    }
    // What was handed out is no longer needed; dropping it keeps the buffer to about a line.
    text_.erase(0, handedOut_);
    position_ += handedOut_;
    searched_ -= handedOut_;
    handedOut_ = 0;
    Append(std::string_view(chunk.data(), read));
    return true;
}

std::optional<SourceLine> FileLines::NextLine() {
    for (;;) {
        const std::string_view rest = std::string_view(text_).substr(handedOut_);
        if (rest.empty() && atEnd_) {
            return std::nullopt;
        }
        // A long line arrives over many chunks; only the new part is searched for its end.
        const std::size_t found = text_.find_first_of("\r\n", searched_);
        if (found == std::string::npos && !atEnd_ && rest.size() > LongestLine) {
            return LongLine();
        }
        if (found == std::string::npos && !atEnd_) {
            searched_ = text_.size();
            Fill();
            continue;
        }
        if (const std::optional<TextLine> line = FirstLineOf(rest, atEnd_)) {
            const std::size_t begin = position_ + handedOut_;
            handedOut_ += line->Next;
            searched_ = handedOut_;
            return SourceLine{rest.substr(0, line->End),
                              rest.substr(line->End, line->Next - line->End),
                              {begin, begin + line->End, begin + line->Next}};
        }
        // A CR at the end of what has arrived: the next character decides whether LF follows.
        searched_ = found;
        Fill();
    }
}

SourceLine FileLines::LongLine() {
    const std::size_t begin = position_ + handedOut_;
    longHead_.assign(text_, handedOut_, LongestLine);
    // Nothing of what has arrived is a line break; only the count of it is kept.
    for (;;) {
        const std::size_t found = text_.find_first_of("\r\n");
        if (found == std::string::npos || (found + 1 == text_.size() && !atEnd_)) {
            const std::size_t dropped = found == std::string::npos ? text_.size() : found;
            text_.erase(0, dropped);
            position_ += dropped;
            handedOut_ = 0;
            searched_ = 0;
            if (position_ - begin > LongestReadLine) {
                throw std::runtime_error("a line of more than 4 MiB: not a settings file");
            }
            if (!Fill() && text_.empty()) {
                return SourceLine{longHead_, {}, {begin, position_, position_}, true};
            }
            continue;
        }
        const TextLine line = *FirstLineOf(text_, true);
        handedOut_ = line.Next;
        searched_ = handedOut_;
        return SourceLine{longHead_,
                          std::string_view(text_).substr(line.End, line.Next - line.End),
                          {begin, position_ + line.End, position_ + line.Next},
                          true};
    }
}

std::vector<ByteEdit> ToBytes(const TextEdits& edits, TextEncoding encoding) {
    std::vector<ByteEdit> bytes;
    for (const TextEdit& edit : edits) {
        if (encoding == TextEncoding::SingleByte) {
            bytes.push_back({edit.Begin, edit.Text, edit.End});
            continue;
        }
        std::string inserted;
        for (char c : edit.Text) {
            inserted += UnitBytes(static_cast<unsigned char>(c), encoding);
        }
        bytes.push_back({Utf16MarkLength + 2 * std::uint64_t{edit.Begin}, inserted,
                         Utf16MarkLength + 2 * std::uint64_t{edit.End}});
    }
    return bytes;
}
