#pragma once
// The pages of kelvo_demo's control gallery. Each fills a page panel (its rectangle in the window's
// client coordinates) with one group of controls, working as they do in the program.

class MPanel;

// Edit boxes, rich edits, combo boxes, a list with renaming in place and a popup menu.
void BuildEditingGalleryPage(MPanel* page);
