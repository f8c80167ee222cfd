#include "app/globals.h"

namespace app {

bool BatchMode = false;
bool Scanning = false;
std::string CurrentFileName;
int HTMLColumnCount = 0;
TExportSettings ExportSettings;
int RunCount = 0;

}  // namespace app
