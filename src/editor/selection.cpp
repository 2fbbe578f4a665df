// selection: the picked object, mesh and group.
#include "editor/selection.h"

selection_state selection;

void clear_selection() { selection = selection_state{}; }
