// Arbitrary appcmd output through every reader of answers: nothing may read past the text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "iis/appcmd_answers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string output(reinterpret_cast<const char*>(data), size);
    const char* text = output.c_str();  // as the runner hands it over: up to the first NUL
    for (const std::string& line : dk::iis::Lines(text)) {
        (void)dk::iis::DecimalValue(line);
        (void)dk::iis::BindingAnswer(line);
    }
    (void)dk::iis::FirstLineTrimmed(text);
    const std::size_t half = output.size() / 2;
    (void)dk::iis::VdirListed(text, std::string_view(output).substr(0, half), "upload");
    return 0;
}
