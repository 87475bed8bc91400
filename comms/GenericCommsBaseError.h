#pragma once

#include <array>
#include <exception>
#include <string>

namespace aComms
{
// The one exception type of every link failure. Each object carries the whole text table,
// so a copy stays meaningful wherever it is caught.
class GenericCommsBaseError : public std::exception
{
public:
    // The codes a link throws; the rest of the table is shared with other links.
    static constexpr int readTimeout = 12;
    static constexpr int writeTimeout = 13;
    static constexpr int socketNotOpen = 14;
    static constexpr int socketClosedError = 16;
    static constexpr int wrongSizedData = 22;

    static constexpr std::size_t numTexts = 25;

    explicit GenericCommsBaseError (int code);

    // The code's text; codes outside the table read as "Unknown Error".
    const char* what() const noexcept override;

private:
    int code;
    std::array<std::string, numTexts> texts;
};
}
