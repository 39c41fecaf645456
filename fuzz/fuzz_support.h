// What the fuzz targets share: they run in a scratch folder, so that nothing
// they might write lands in the folder they were started from.
#pragma once

void enter_scratch_folder();
