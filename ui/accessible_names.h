#pragma once
// Accessible names for a screen reader, taken from what a sighted user reads
// beside each control: a field is named after the caption to its left in the
// same row of its grid (or before it in its row or column of a box layout),
// one of several fields after one caption (an address's four octets) gets
// its place as well ("IP 2 de 4"), a button without a caption its hint, and
// a button whose caption says little ("Executar") keeps it as its name and
// gets its row's caption as its description. Names set already are kept.

class QWidget;

void NameControlsFromCaptions(QWidget& root);
