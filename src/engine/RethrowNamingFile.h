#pragma once
// Errors met while reading a data file say which file: called inside a catch block, this throws
// the exception being handled again with the file's path in its message. Exceptions of the JSON
// library keep their kind and id (a parse error stays a parse error 101), so callers that tell
// them apart still can; other standard exceptions become the same standard kind where it is one
// of the common ones, else a std::runtime_error. A StreamOpenError already names its path and is
// rethrown as it is.

#include <string>

[[noreturn]] void RethrowNamingFile(const std::string& path);
