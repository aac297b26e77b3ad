#include "cli/PlanNames.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <set>
#include <string_view>

#include "base/RuntimeError.h"

namespace gapwell::cli {

namespace {

// The keywords of C (up to C23) and C++ (up to C++20), and the alternative operator names.
const std::set<std::string_view> kKeywords{"_Alignas",
                                           "_Alignof",
                                           "_Atomic",
                                           "_BitInt",
                                           "_Bool",
                                           "_Complex",
                                           "_Decimal128",
                                           "_Decimal32",
                                           "_Decimal64",
                                           "_Generic",
                                           "_Imaginary",
                                           "_Noreturn",
                                           "_Static_assert",
                                           "_Thread_local",
                                           "alignas",
                                           "alignof",
                                           "and",
                                           "and_eq",
                                           "asm",
                                           "auto",
                                           "bitand",
                                           "bitor",
                                           "bool",
                                           "break",
                                           "case",
                                           "catch",
                                           "char",
                                           "char16_t",
                                           "char32_t",
                                           "char8_t",
                                           "class",
                                           "co_await",
                                           "co_return",
                                           "co_yield",
                                           "compl",
                                           "concept",
                                           "const",
                                           "const_cast",
                                           "consteval",
                                           "constexpr",
                                           "constinit",
                                           "continue",
                                           "decltype",
                                           "default",
                                           "delete",
                                           "do",
                                           "double",
                                           "dynamic_cast",
                                           "else",
                                           "enum",
                                           "explicit",
                                           "export",
                                           "extern",
                                           "false",
                                           "float",
                                           "for",
                                           "friend",
                                           "goto",
                                           "if",
                                           "inline",
                                           "int",
                                           "long",
                                           "mutable",
                                           "namespace",
                                           "new",
                                           "noexcept",
                                           "not",
                                           "not_eq",
                                           "nullptr",
                                           "operator",
                                           "or",
                                           "or_eq",
                                           "private",
                                           "protected",
                                           "public",
                                           "register",
                                           "reinterpret_cast",
                                           "requires",
                                           "restrict",
                                           "return",
                                           "short",
                                           "signed",
                                           "sizeof",
                                           "static",
                                           "static_assert",
                                           "static_cast",
                                           "struct",
                                           "switch",
                                           "template",
                                           "this",
                                           "thread_local",
                                           "throw",
                                           "true",
                                           "try",
                                           "typedef",
                                           "typeid",
                                           "typename",
                                           "typeof",
                                           "typeof_unqual",
                                           "union",
                                           "unsigned",
                                           "using",
                                           "virtual",
                                           "void",
                                           "volatile",
                                           "wchar_t",
                                           "while",
                                           "xor",
                                           "xor_eq"};

// The variables that GNU make gives a meaning of its own.
const std::set<std::string_view> kMakeVariables{
    "CURDIR",       "GNUMAKEFLAGS",  "GPATH",         "MAKE",         "MAKECMDGOALS",
    "MAKEFILES",    "MAKEFILE_LIST", "MAKEFLAGS",     "MAKELEVEL",    "MAKEOVERRIDES",
    "MAKESHELL",    "MAKE_HOST",     "MAKE_RESTARTS", "MAKE_TERMERR", "MAKE_TERMOUT",
    "MAKE_VERSION", "MFLAGS",        "SHELL",         "SUFFIXES",     "VPATH"};

const char* const kSizeSuffix = "_SIZE";

[[noreturn]] void Refuse(const std::string& message) {
    throw RuntimeError(EINVAL, message);
}

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return text;
}

}  // namespace

void CheckPlanNames(const std::vector<Block>& blocks, const std::string& prefix) {
    if (!prefix.empty() && !IsBlockName(prefix)) {
        Refuse("bad value for --prefix: \"" + prefix +
               "\" (letters, digits and _, not starting with a digit)");
    }
    std::map<std::string, std::string> byLowerCase;
    for (const Block& block : blocks) {
        const std::string name = prefix + block.name;
        if (kKeywords.count(name) != 0) {
            Refuse("block name " + name + " is a C or C++ keyword (give another, or --prefix)");
        }
        if (kMakeVariables.count(name) != 0) {
            Refuse("block name " + name +
                   " is one of make's special variables (give another, or --prefix)");
        }
        const auto [other, added] = byLowerCase.emplace(LowerCase(name), name);
        // The same name twice is the allocator's to refuse.
        if (!added && other->second != name) {
            Refuse("blocks " + other->second + " and " + name +
                   " differ only in case, which armips labels ignore");
        }
    }
    for (const auto& [lower, name] : byLowerCase) {
        const auto clash = byLowerCase.find(lower + LowerCase(kSizeSuffix));
        if (clash != byLowerCase.end()) {
            Refuse("blocks " + name + " and " + clash->second + " would both define " + name +
                   kSizeSuffix);
        }
    }
}

}  // namespace gapwell::cli
