#include "app/ProcessWide.h"

ProcessWide& Process() {
    static ProcessWide values;
    return values;
}
