#include "engine/RethrowNamingFile.h"

#include <exception>
#include <stdexcept>
#include <string_view>

#include <nlohmann/json.hpp>

#include "SharedDependencies/Source/StreamOpenError.h"

namespace {
using json = nlohmann::json;

// The library's message without its "[json.exception.<kind>.<id>] " tag, which create() adds
// again.
std::string_view Detail(const json::exception& error) {
    std::string_view text = error.what();
    const std::size_t tagEnd = text.find("] ");
    return tagEnd == std::string_view::npos ? text : text.substr(tagEnd + 2);
}

std::string Named(const std::string& path, std::string_view detail) {
    return path + ": " + std::string(detail);
}
}  // namespace

void RethrowNamingFile(const std::string& path) {
    try {
        throw;
    } catch (const StreamOpenError&) {
        throw;
    } catch (const json::parse_error& error) {
        // create() writes "parse error" itself; the position stays in the detail.
        std::string_view detail = Detail(error);
        constexpr std::string_view kParseError = "parse error";
        if (detail.starts_with(kParseError)) {
            detail.remove_prefix(kParseError.size());
        }
        throw json::parse_error::create(error.id, std::size_t{0}, "in " + path + std::string(detail),
                                        nullptr);
    } catch (const json::type_error& error) {
        throw json::type_error::create(error.id, Named(path, Detail(error)), nullptr);
    } catch (const json::out_of_range& error) {
        throw json::out_of_range::create(error.id, Named(path, Detail(error)), nullptr);
    } catch (const json::invalid_iterator& error) {
        throw json::invalid_iterator::create(error.id, Named(path, Detail(error)), nullptr);
    } catch (const json::other_error& error) {
        throw json::other_error::create(error.id, Named(path, Detail(error)), nullptr);
    } catch (const std::out_of_range& error) {
        throw std::out_of_range(Named(path, error.what()));
    } catch (const std::length_error& error) {
        throw std::length_error(Named(path, error.what()));
    } catch (const std::exception& error) {
        throw std::runtime_error(Named(path, error.what()));
    }
}
