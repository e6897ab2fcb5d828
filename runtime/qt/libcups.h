#pragma once

#include <cups/cups.h>

namespace jangora {

// The functions of libcups the game uses: where the print server is and who asks it, and the
// IPP messages, which the game writes and reads itself over a connection of its own.
#define JANGORA_CUPS_FUNCTIONS(F)                                                                  \
    F(cupsServer)                                                                                  \
    F(ippPort)                                                                                     \
    F(cupsUser)                                                                                    \
    F(ippNew)                                                                                      \
    F(ippNewRequest)                                                                               \
    F(ippAddString)                                                                                \
    F(ippAddStrings)                                                                               \
    F(ippAddInteger)                                                                               \
    F(ippAddBoolean)                                                                               \
    F(ippWriteIO)                                                                                  \
    F(ippReadIO)                                                                                   \
    F(ippDelete)                                                                                   \
    F(ippGetStatusCode)                                                                            \
    F(ippFindAttribute)                                                                            \
    F(ippFindNextAttribute)                                                                        \
    F(ippGetValueTag)                                                                              \
    F(ippGetCount)                                                                                 \
    F(ippGetInteger)                                                                               \
    F(ippGetString)                                                                                \
    F(ippGetCollection)                                                                            \
    F(pwgMediaForPWG)

struct Cups {
#define JANGORA_DECLARE(name) decltype(&::name) name = nullptr;
    JANGORA_CUPS_FUNCTIONS(JANGORA_DECLARE)
#undef JANGORA_DECLARE
};

// libcups, loaded the first time the player prints: a game that never prints never maps it
// and the libraries it needs. Nothing where it is missing or lacks one of the functions.
[[nodiscard]] const Cups* libcups();

} // namespace jangora
