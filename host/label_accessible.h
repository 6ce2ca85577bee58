// Lets screen readers read labels: host::Label paints its own caption, which Qt cannot see.
#pragma once

namespace host {

// Registers the accessibility factory for labels; safe to call more than once.
void installLabelAccessibility();

} // namespace host
