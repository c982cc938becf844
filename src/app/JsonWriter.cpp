#include "app/JsonWriter.h"

#include <string_view>

#include "platform/Utf8.h"

namespace netmoth::app {
namespace {

class PrettyWriter {
public:
    bool write(const nlohmann::json& value, std::size_t depth) {
        using Type = nlohmann::json::value_t;
        switch (value.type()) {
            case Type::object: return writeObject(value, depth);
            case Type::array: return writeArray(value, depth);
            case Type::string: return writeString(value.get_ref<const std::string&>());
            case Type::boolean: out_ += value.get<bool>() ? "true" : "false"; return true;
            case Type::number_integer: out_ += std::to_string(value.get<std::int64_t>()); return true;
            case Type::number_unsigned: out_ += std::to_string(value.get<std::uint64_t>()); return true;
            case Type::null: out_ += "null"; return true;
            default: return false;
        }
    }

    std::string take() { return std::move(out_); }

private:
    void newLine(std::size_t depth) {
        out_ += '\n';
        out_.append(depth * 2, ' ');
    }

    // An empty container still spans lines: "[", an empty line, "]".
    template <typename WriteMember>
    bool writeContainer(char open, char close, std::size_t count, std::size_t depth, WriteMember writeMember) {
        out_ += open;
        if (count == 0) out_ += '\n';
        bool first = true;
        bool ok = true;
        for (std::size_t i = 0; i < count && ok; ++i) {
            if (!first) out_ += ',';
            first = false;
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
        return writeContainer('[', ']', array.size(), depth,
                              [&](std::size_t i) { return write(array[i], depth + 1); });
    }

    bool writeString(std::string_view text) {
        if (!platform::isValidUtf8(text)) return false;
        out_ += '"';
        for (const char c : text) appendEscaped(c);
        out_ += '"';
        return true;
    }

    void appendEscaped(char c) {
        switch (c) {
            case '"': out_ += "\\\""; return;
            case '\\': out_ += "\\\\"; return;
            case '/': out_ += "\\/"; return;
            case '\b': out_ += "\\b"; return;
            case '\f': out_ += "\\f"; return;
            case '\n': out_ += "\\n"; return;
            case '\r': out_ += "\\r"; return;
            case '\t': out_ += "\\t"; return;
            default: break;
        }
        if (static_cast<unsigned char>(c) < 0x20) {
            static constexpr char kHex[] = "0123456789abcdef";
            out_ += "\\u00";
            out_ += kHex[(c >> 4) & 0xF];
            out_ += kHex[c & 0xF];
            return;
        }
        out_ += c;
    }

    std::string out_;
};

}  // namespace

std::optional<std::string> writePrettyJson(const nlohmann::json& value) {
    PrettyWriter writer;
    if (!writer.write(value, 0)) return std::nullopt;
    return writer.take();
}

}  // namespace netmoth::app
