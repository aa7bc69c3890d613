#pragma once

class QWizard;

// Dresses a QWizard in the program's artwork: the program icon as its window icon and, in the
// modern style, the header picture on the right of the header band, drawn for the wizard's
// screen (sharp at any pixel ratio) and drawn again when the wizard moves to a screen with
// another ratio. QWizard shows its header band on the pages that have a title and a subtitle.
void applyWizardArtwork(QWizard* wizard);
