// The coordinate database document as the database service publishes it: converted into the
// data file, whose date must read as a date, and the file it made read as a data file is.

#include "FuzzInput.h"
#include "data/DataFile.h"
#include "downloads/DatabaseConversion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace trelk;
    const std::string_view document = fuzz::Text(data, size);
    const DatabaseConversion conversion = ConvertDatabase(document);
    (void)DateNumber(document.substr(0, document.find('\n')));
    if (conversion.ok) {
        fuzz::Expect(DateNumber(conversion.date).has_value());
        (void)ConvertDataFileContent(conversion.fileText, false);
    } else {
        fuzz::Expect(conversion.fileText.empty() && !conversion.error.empty());
    }
    return 0;
}
