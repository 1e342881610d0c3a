#include "state/ProcessWide.h"

ProcessWide& Process() {
    static ProcessWide values;
    return values;
}
