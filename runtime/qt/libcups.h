#pragma once

#include <cups/cups.h>

namespace jangora {

// The functions of libcups the game uses.
#define JANGORA_CUPS_FUNCTIONS(F)                                                                  \
    F(cupsServer)                                                                                  \
    F(ippPort)                                                                                     \
    F(cupsEncryption)                                                                              \
    F(httpConnect2)                                                                                \
    F(httpSetTimeout)                                                                              \
    F(httpGetActivity)                                                                             \
    F(httpClose)                                                                                   \
    F(cupsLastErrorString)                                                                         \
    F(cupsGetNamedDest)                                                                            \
    F(cupsGetDests2)                                                                               \
    F(cupsFreeDests)                                                                               \
    F(cupsGetOption)                                                                               \
    F(cupsCopyDestInfo)                                                                            \
    F(cupsFreeDestInfo)                                                                            \
    F(cupsGetDestMediaDefault)                                                                     \
    F(cupsCreateJob)                                                                               \
    F(cupsStartDocument)                                                                           \
    F(cupsWriteRequestData)                                                                        \
    F(cupsFinishDocument)                                                                          \
    F(cupsCancelJob2)                                                                              \
    F(ippNewRequest)                                                                               \
    F(ippAddString)                                                                                \
    F(cupsDoRequest)                                                                               \
    F(ippFindAttribute)                                                                            \
    F(ippGetInteger)                                                                               \
    F(ippGetString)                                                                                \
    F(ippDelete)

struct Cups {
#define JANGORA_DECLARE(name) decltype(&::name) name = nullptr;
    JANGORA_CUPS_FUNCTIONS(JANGORA_DECLARE)
#undef JANGORA_DECLARE
};

// libcups, loaded the first time the player prints: a game that never prints never maps it
// and the libraries it needs. Nothing where it is missing or lacks one of the functions.
[[nodiscard]] const Cups* libcups();

} // namespace jangora
