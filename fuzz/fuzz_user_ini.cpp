// Fuzzes the User.ini reader and the skin lookup.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "memory_file_system.h"
#include "records.h"
#include "skins.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFileSystem folder;
    static NullOutput discard;
    static AnalysisContext ctx(folder, discard);
    init_session(ctx);
    // The log stays open on its entry, which is only emptied.
    folder.add("error.log", "");
    std::string_view content(reinterpret_cast<const char*>(data), size);
    folder.add("User.ini", std::string(content));
    (void)read_user_ini(ctx);
    // Look up every name the file set, in other letter case, and a few
    // texts of the input itself.
    for (const SkinRecord& record : ctx.skin_table) {
        Text name = record.name;
        (void)find_skin(ctx, name.view());
    }
    (void)find_skin(ctx, content.substr(0, 64));
    (void)find_skin(ctx, "");
    return 0;
}
