// The per-play instrument plan shared by the dialog, the conversion worker and the instrument tool.
#include "instrument_plan.h"

int g_programMap[kProgramTableSize];
int g_pchannelPrograms[kPChannelCount];
int g_transpose = 0;

void ResetProgramMap(const int *usedPrograms) {
    for (int p = 0; p < kProgramTableSize; ++p) {
        g_programMap[p] = usedPrograms[p];
    }
}

void FillProgramMap(const int *usedPrograms, const bool *rowChecked, const int *rowPrograms, int nRows) {
    int j = 0;
    for (int p = 0; p < kProgramTableSize; ++p) {
        g_programMap[p] = usedPrograms[p];
        if (usedPrograms[p] == kNoProgram) {
            continue;
        }
        // Rows follow the used programs in ascending order; a list shorter than that must not be read past.
        if (j < nRows) {
            g_programMap[p] = rowChecked[j] ? rowPrograms[j] : kNoProgram;
        }
        ++j;
    }
    ResetChannelPrograms();
}

void ResetChannelPrograms() {
    for (int c = 0; c < kPChannelCount; ++c) {
        g_pchannelPrograms[c] = kNoProgram;
    }
}
