#include "cli/templates_command.h"

#include "cli/command_options.h"
#include "records/table_templates.h"

namespace zv {

int runTemplatesCommand(const std::vector<std::string>& args, std::ostream& /*out*/,
                        std::ostream& /*err*/) {
    CommandOptions options(args, {"--out"});
    if (!options.has("--out")) throw UsageError("give --out DIR");
    writeTemplates(QString::fromStdString(options.text("--out")));
    return 0;
}

}  // namespace zv
