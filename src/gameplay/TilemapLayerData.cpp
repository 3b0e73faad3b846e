#include "gameplay/TilemapLayerData.h"

#include <zlib.h>

#include <array>
#include <limits>
#include <string_view>

#include "gameplay/TilemapJson.h"

namespace {

constexpr const char* kBase64Encoding = "base64";
constexpr const char* kArrayEncoding = "csv";
constexpr const char* kZlib = "zlib";
constexpr const char* kGzip = "gzip";
constexpr std::size_t kBytesPerCell = 4;
// zlib's largest window; adding 16 asks for the gzip wrapper instead of zlib's.
constexpr int kZlibWindowBits = 15;
constexpr int kGzipWindowBits = kZlibWindowBits + 16;

constexpr char kBase64Padding = '=';
constexpr std::uint8_t kNotBase64 = 0xff;

constexpr std::array<std::uint8_t, 256> Base64Values() {
    std::array<std::uint8_t, 256> values{};
    values.fill(kNotBase64);
    constexpr std::string_view kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
        values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::uint8_t>(i);
    }
    return values;
}

// Standard base64 with its padding, as the editor writes it; anything else is refused, so a
// damaged layer never loads as a different map.
std::string DecodeBase64(const std::string& text, const std::string& what) {
    static constexpr std::array<std::uint8_t, 256> kValues = Base64Values();
    if (text.size() % 4 != 0) {
        throw TilemapFileError(what + " is not base64: its length " + std::to_string(text.size()) +
                               " is not a multiple of 4");
    }
    std::size_t padding = 0;
    while (padding < 2 && padding < text.size() &&
           text[text.size() - 1 - padding] == kBase64Padding) {
        ++padding;
    }
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    std::uint32_t group = 0;
    const std::size_t digits = text.size() - padding;
    for (std::size_t i = 0; i < digits; ++i) {
        const std::uint8_t value = kValues[static_cast<unsigned char>(text[i])];
        if (value == kNotBase64) {
            throw TilemapFileError(what + " is not base64: character " + std::to_string(i) +
                                   " is " +
                                   TilemapJson::Describe(nlohmann::json(text.substr(i, 1))));
        }
        group = group << 6 | value;
        if (i % 4 == 3) {
            bytes.push_back(static_cast<char>(group >> 16 & 0xff));
            bytes.push_back(static_cast<char>(group >> 8 & 0xff));
            bytes.push_back(static_cast<char>(group & 0xff));
            group = 0;
        }
    }
    // The last group's digits beyond the padding carry 8 or 16 bits more.
    if (padding == 1) {
        bytes.push_back(static_cast<char>(group >> 10 & 0xff));
        bytes.push_back(static_cast<char>(group >> 2 & 0xff));
    } else if (padding == 2) {
        bytes.push_back(static_cast<char>(group >> 4 & 0xff));
    }
    return bytes;
}

// Inflates into a buffer one byte larger than the layer needs, so that data holding more than the
// layer is seen without ever unpacking more than that.
std::string Inflate(const std::string& packed, int windowBits, std::size_t expected,
                    const std::string& what, const std::string& method) {
    const std::string problem = what + " is not valid " + method + " data";
    if (packed.size() > std::numeric_limits<uInt>::max() ||
        expected >= std::numeric_limits<uInt>::max()) {
        throw TilemapFileError(problem + ": too large");
    }
    z_stream stream{};
    if (inflateInit2(&stream, windowBits) != Z_OK) {
        throw TilemapFileError(problem + ": " + (stream.msg != nullptr ? stream.msg : "no memory"));
    }
    std::string bytes(expected + 1, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = reinterpret_cast<Bytef*>(bytes.data());
    stream.avail_out = static_cast<uInt>(bytes.size());
    const int result = inflate(&stream, Z_FINISH);
    const std::string message = stream.msg != nullptr ? stream.msg : "";
    const std::size_t leftOver = stream.avail_in;
    bytes.resize(bytes.size() - stream.avail_out);
    inflateEnd(&stream);
    if (result == Z_STREAM_END && leftOver != 0) {
        throw TilemapFileError(problem + ": " + std::to_string(leftOver) +
                               " bytes follow the end of the stream");
    }
    if (bytes.size() > expected) {
        throw TilemapFileError(what + " unpacks to more than the " + std::to_string(expected) +
                               " bytes of width x height cells");
    }
    if (result == Z_STREAM_END) {
        return bytes;
    }
    if (result == Z_BUF_ERROR) {
        throw TilemapFileError(problem + ": the stream is cut short");
    }
    throw TilemapFileError(problem + ": " +
                           (message.empty() ? "error " + std::to_string(result) : message));
}

std::vector<std::uint32_t> LittleEndianWords(const std::string& bytes, std::size_t cells,
                                             const std::string& what) {
    if (bytes.size() != cells * kBytesPerCell) {
        throw TilemapFileError(what + " holds " + std::to_string(bytes.size()) + " bytes, not " +
                               std::to_string(kBytesPerCell) + " for each of the width x height (" +
                               std::to_string(cells) + ") cells");
    }
    std::vector<std::uint32_t> values(cells);
    for (std::size_t i = 0; i < cells; ++i) {
        std::uint32_t value = 0;
        for (std::size_t b = 0; b < kBytesPerCell; ++b) {
            value |= std::uint32_t{static_cast<unsigned char>(bytes[i * kBytesPerCell + b])}
                     << (8 * b);
        }
        values[i] = value;
    }
    return values;
}

// A cell as a number: the editor writes the unsigned value; a signed 32-bit one stands for the
// same bits.
std::uint32_t CellValue(const nlohmann::json& value, const std::string& what) {
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number <= std::numeric_limits<std::uint32_t>::max()) {
            return static_cast<std::uint32_t>(number);
        }
    } else if (value.is_number_integer()) {
        const auto number = value.get<std::int64_t>();
        if (number >= std::numeric_limits<std::int32_t>::min() && number < 0) {
            return static_cast<std::uint32_t>(number);
        }
    }
    throw TilemapFileError(what + " is not a 32-bit integer: " + TilemapJson::Describe(value));
}

std::vector<std::uint32_t> ArrayCells(const nlohmann::json& data, std::size_t cells,
                                      const std::string& what) {
    if (!data.is_array()) {
        throw TilemapFileError(what + " is not an array but " + TilemapJson::Describe(data));
    }
    if (data.size() != cells) {
        throw TilemapFileError(what + " holds " + std::to_string(data.size()) +
                               " cells, not width x height (" + std::to_string(cells) + ")");
    }
    std::vector<std::uint32_t> values;
    values.reserve(cells);
    for (std::size_t i = 0; i < cells; ++i) {
        values.push_back(CellValue(data[i], TilemapJson::Element(what, i)));
    }
    return values;
}

std::vector<std::uint32_t> Base64Cells(const nlohmann::json& layer, const nlohmann::json& data,
                                       const std::string& where, std::size_t cells) {
    const std::string what = TilemapJson::MemberPath(where, "data");
    if (!data.is_string()) {
        throw TilemapFileError(what + " is not base64 text but " + TilemapJson::Describe(data));
    }
    const std::string compression = TilemapJson::StringMember(layer, "compression", where, "");
    const std::string bytes = DecodeBase64(data.get<std::string>(), what);
    if (compression.empty()) {
        return LittleEndianWords(bytes, cells, what);
    }
    if (compression == kZlib || compression == kGzip) {
        const int windowBits = compression == kZlib ? kZlibWindowBits : kGzipWindowBits;
        return LittleEndianWords(
            Inflate(bytes, windowBits, cells * kBytesPerCell, what, compression), cells, what);
    }
    throw TilemapFileError(TilemapJson::MemberPath(where, "compression") + " \"" + compression +
                           "\" cannot be read (only \"zlib\", \"gzip\" or none)");
}

}  // namespace

std::vector<std::uint32_t> TilemapLayerData::Decode(const nlohmann::json& layer,
                                                    const std::string& where, std::size_t cells) {
    if (layer.is_object() && layer.contains("chunks")) {
        throw TilemapFileError(where +
                               " is made of chunks, as in an infinite map, which cannot "
                               "be read; save the map with a fixed size");
    }
    const nlohmann::json& data = TilemapJson::Member(layer, "data", where);
    const std::string encoding =
        TilemapJson::StringMember(layer, "encoding", where, kArrayEncoding);
    if (encoding == kBase64Encoding) {
        return Base64Cells(layer, data, where, cells);
    }
    if (encoding != kArrayEncoding) {
        throw TilemapFileError(TilemapJson::MemberPath(where, "encoding") + " \"" + encoding +
                               "\" cannot be read (only \"csv\" or \"base64\")");
    }
    return ArrayCells(data, cells, TilemapJson::MemberPath(where, "data"));
}
