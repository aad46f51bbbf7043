#pragma once

class QLineEdit;

// Places a line edit's text vertically by the font's line height alone, as
// the field is centred on it. Qt centres by the larger of the line height and
// the text's bounding box; where a font engine reports a box far taller than
// the line (the substitute fonts under Wine), the text lands above the field
// and the field looks empty. Call again when the field's height or font
// changes.
void CentreTextByLineHeight(QLineEdit* edit);
