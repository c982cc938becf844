#include "util/JsonWriter.h"

#include <array>
#include <string_view>

#include "util/Memory.h"
#include "util/Utf8.h"

namespace netmoth::util {
namespace {

// The bytes a string holds as they are: plain ASCII but quotes, backslashes and slashes.
constexpr std::array<bool, 256> kPlain = [] {
    std::array<bool, 256> plain{};
    for (unsigned byte = 0x20; byte < 0x80; ++byte) plain[byte] = byte != '"' && byte != '\\' && byte != '/';
    return plain;
}();

// Appends to a caller's text, so array elements can share one buffer.
class PrettyWriter {
public:
    explicit PrettyWriter(std::string& out) : out_(out) {}

    bool write(const nlohmann::json& value, std::size_t depth) {
        using Type = nlohmann::json::value_t;
        switch (value.type()) {
            case Type::object:
                return writeObject(value, depth);
            case Type::array:
                return writeArray(value, depth);
            case Type::string:
                return writeString(value.get_ref<const std::string&>());
            case Type::boolean:
                out_ += value.get<bool>() ? "true" : "false";
                return true;
            case Type::number_integer:
                out_ += std::to_string(value.get<std::int64_t>());
                return true;
            case Type::number_unsigned:
                out_ += std::to_string(value.get<std::uint64_t>());
                return true;
            case Type::null:
                out_ += "null";
                return true;
            default:
                return false;
        }
    }

    void newLine(std::size_t depth) {
        out_ += '\n';
        out_.append(depth * 2, ' ');
    }

    // Copies runs of plain ASCII at once; only quotes, backslashes, slashes,
    // control characters and non-ASCII bytes end a run.
    bool writeString(std::string_view text) {
        out_ += '"';
        const char* const bytes = text.data();
        const std::size_t size = text.size();
        std::size_t runStart = 0;
        for (std::size_t i = 0; i < size;) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            if (kPlain[byte]) {
                ++i;
                continue;
            }
            out_.append(bytes + runStart, i - runStart);
            if (byte >= 0x80) {
                const DecodedCodePoint decoded = decodeCodePointAt(text, i);
                if (!decoded.valid) return false;
                out_.append(text, i, decoded.length);
                i += decoded.length;
            } else {
                appendEscaped(text[i]);
                ++i;
            }
            runStart = i;
        }
        out_.append(text, runStart, std::string_view::npos);
        out_ += '"';
        return true;
    }

private:
    // An empty container still spans lines: "[", an empty line, "]".
    template <typename WriteMember>
    bool writeContainer(char open, char close, std::size_t count, std::size_t depth, WriteMember writeMember) {
        out_ += open;
        if (count == 0) out_ += '\n';
        bool ok = true;
        for (std::size_t i = 0; i < count && ok; ++i) {
            if (i > 0) out_ += ',';
            newLine(depth + 1);
            ok = writeMember(i);
        }
        newLine(depth);
        out_ += close;
        return ok;
    }

    bool writeObject(const nlohmann::json& object, std::size_t depth) {
        auto member = object.items().begin();
        return writeContainer('{', '}', object.size(), depth, [&](std::size_t) {
            const bool ok = writeString(member.key());
            out_ += " : ";
            const bool valueOk = ok && write(member.value(), depth + 1);
            ++member;
            return valueOk;
        });
    }

    bool writeArray(const nlohmann::json& array, std::size_t depth) {
        return writeContainer('[', ']', array.size(), depth, [&](std::size_t i) { return write(array[i], depth + 1); });
    }

    // Only for the characters that end a plain run below 0x80.
    void appendEscaped(char c) {
        switch (c) {
            case '"':
                out_ += "\\\"";
                return;
            case '\\':
                out_ += "\\\\";
                return;
            case '/':
                out_ += "\\/";
                return;
            case '\b':
                out_ += "\\b";
                return;
            case '\f':
                out_ += "\\f";
                return;
            case '\n':
                out_ += "\\n";
                return;
            case '\r':
                out_ += "\\r";
                return;
            case '\t':
                out_ += "\\t";
                return;
            default:
                break;
        }
        static constexpr char kHex[] = "0123456789abcdef";
        out_ += "\\u00";
        out_ += kHex[(c >> 4) & 0xF];
        out_ += kHex[c & 0xF];
    }

    std::string& out_;
};

}  // namespace

std::optional<std::string> writePrettyJson(const nlohmann::json& value) {
    std::string text;
    if (!PrettyWriter(text).write(value, 0)) return std::nullopt;
    return text;
}

void PrettyArrayWriter::reserve(std::size_t bytes) {
    text_.reserve(bytes);
    adviseHugePages(text_.data(), text_.capacity());
}

// The layout write() gives an object: "{", each member on a line of its own
// after a comma, "}" on its own line (an empty object has an empty line).
void PrettyArrayWriter::beginObject() {
    if (!writable_) return;
    if (count_++ > 0) text_ += ',';
    PrettyWriter(text_).newLine(1);
    text_ += '{';
    open_.push_back({1, 0});
}

void PrettyArrayWriter::memberKey(std::string_view key) {
    OpenObject& object = open_.back();
    if (object.members++ > 0) text_ += ',';
    PrettyWriter writer(text_);
    writer.newLine(object.depth + 1);
    writable_ = writer.writeString(key) && writable_;
    text_ += " : ";
}

void PrettyArrayWriter::beginObjectMember(std::string_view key) {
    if (!writable_) return;
    memberKey(key);
    text_ += '{';
    open_.push_back({open_.back().depth + 1, 0});
}

void PrettyArrayWriter::stringMember(std::string_view key, std::string_view value) {
    if (!writable_) return;
    memberKey(key);
    writable_ = PrettyWriter(text_).writeString(value) && writable_;
}

void PrettyArrayWriter::integerMember(std::string_view key, std::int64_t value) {
    if (!writable_) return;
    memberKey(key);
    text_ += std::to_string(value);
}

void PrettyArrayWriter::booleanMember(std::string_view key, bool value) {
    if (!writable_) return;
    memberKey(key);
    text_ += value ? "true" : "false";
}

void PrettyArrayWriter::endObject() {
    if (!writable_) return;
    const OpenObject object = open_.back();
    open_.pop_back();
    if (object.members == 0) text_ += '\n';
    PrettyWriter(text_).newLine(object.depth);
    text_ += '}';
}

std::optional<std::string> PrettyArrayWriter::finish() && {
    if (!writable_) return std::nullopt;
    text_ += count_ == 0 ? "\n\n]" : "\n]";
    return std::move(text_);
}

}  // namespace netmoth::util
