#pragma once
// The fixed sale document of the end-to-end test (TesteFimAFim): one item
// sold to no one, paid in cash, issued with the test identities the SAT
// standard publishes (software house 16716114000172, taxpayer 61099008000141,
// state registration 111111111111). It takes no input.

#include <string>
#include <vector>

// Empties `lines` and fills it with the document's 61 lines. Its text as the
// library receives it is LinesText(lines) (rules/line_text.h): every line
// followed by CR LF.
void BuildTestSaleDocument(std::vector<std::string>& lines);
