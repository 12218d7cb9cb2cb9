-- Colors.mdb: the colours each screen starts with. One table per screen, one row each; every
-- column is a colour key holding a colour as the colour dialog returns it: 0x00BBGGRR, that is
-- red in the lowest byte, then green, then blue, and a zero high byte. The screens change
-- only the values of these keys, so every table keeps exactly its keys and its one row.
--
-- The palette, shared by all screens so that they look alike:
--
--   name          RGB       stored      used for
--   WINDOW        #E6ECF2   0xF2ECE6    window backgrounds: a calm light blue-grey
--   NAV BAR       #C9D6E3   0xE3D6C9    record navigator bar background
--   NAV TEXT      #1F2F46   0x462F1F    record navigator bar text
--   FRAME         #D5E0EB   0xEBE0D5    maintenance screen frames, and its labels, which sit on them
--   LABEL TEXT    #1F2F46   0x462F1F    maintenance screen label text: dark navy
--   FRAME TEXT    #17375E   0x5E3717    maintenance screen frame captions and navigator text
--   PANEL         #3A6794   0x94673A    label background on the ordering, receiving, usage and
--                                       stock-input screens
--   PANEL TEXT    #FFF0B3   0xB3F0FF    label text on those screens: pale yellow
--   GRID          #FFFFFF   0xFFFFFF    list grid background and its first-row stripe
--   GRID ALT      #E8F0F8   0xF8F0E8    list grid next-row stripe: pale blue
--   GRID TEXT     #202020   0x202020    list grid row text
--
-- Why the four stock screens have dark label panels: some of their captions keep a white text of
-- their own and take only their background from LabelBackColor (the ordering screen's captions,
-- the usage screen's vendor names, the stock-input screen's column captions). A light label
-- background would make those white captions unreadable, so LabelBackColor there is a mid-dark
-- steel blue on which both the white captions and the pale yellow data labels read well. The
-- maintenance screen colours its check boxes' background from LabelBackColor but not their text,
-- so there the labels stay light with dark text.

CREATE TABLE MainMenuColors (
  MainFormBackColor LONG
);
INSERT INTO MainMenuColors (MainFormBackColor) VALUES (0xF2ECE6);

CREATE TABLE MaintScreenColors (
  MainFormBackColor LONG,
  LabelBackColor LONG,
  LabelForeColor LONG,
  SSDataBackColor LONG,
  SSDataForeColor LONG,
  SSFrameForeColor LONG
);
-- SSDataForeColor is stored by the screen's text colour item but never shown; it is kept equal
-- to SSFrameForeColor, as that item would leave it.
INSERT INTO MaintScreenColors
  (MainFormBackColor, LabelBackColor, LabelForeColor, SSDataBackColor, SSDataForeColor, SSFrameForeColor)
VALUES
  (0xF2ECE6, 0xEBE0D5, 0x462F1F, 0xEBE0D5, 0x5E3717, 0x5E3717);

CREATE TABLE TagPartsColors (
  MainFormBackColor LONG,
  LabelBackColor LONG,
  LabelForeColor LONG,
  SSDataBackColor LONG,
  SSDataForeColor LONG,
  SSDBGridBackColor LONG,
  SSDBGridForeColor LONG,
  SSDBGridEvenColor LONG,
  SSDBGridOddColor LONG
);
INSERT INTO TagPartsColors
  (MainFormBackColor, LabelBackColor, LabelForeColor, SSDataBackColor, SSDataForeColor,
   SSDBGridBackColor, SSDBGridForeColor, SSDBGridEvenColor, SSDBGridOddColor)
VALUES
  (0xF2ECE6, 0x94673A, 0xB3F0FF, 0xE3D6C9, 0x462F1F, 0xFFFFFF, 0x202020, 0xFFFFFF, 0xF8F0E8);

CREATE TABLE ReceiveColors (
  MainFormBackColor LONG,
  LabelBackColor LONG,
  LabelForeColor LONG,
  SSDataBackColor LONG,
  SSDataForeColor LONG,
  SSDBGridBackColor LONG,
  SSDBGridForeColor LONG,
  SSDBGridEvenColor LONG,
  SSDBGridOddColor LONG
);
INSERT INTO ReceiveColors
  (MainFormBackColor, LabelBackColor, LabelForeColor, SSDataBackColor, SSDataForeColor,
   SSDBGridBackColor, SSDBGridForeColor, SSDBGridEvenColor, SSDBGridOddColor)
VALUES
  (0xF2ECE6, 0x94673A, 0xB3F0FF, 0xE3D6C9, 0x462F1F, 0xFFFFFF, 0x202020, 0xFFFFFF, 0xF8F0E8);

CREATE TABLE UsageColors (
  MainFormBackColor LONG,
  LabelBackColor LONG,
  LabelForeColor LONG,
  SSDataBackColor LONG,
  SSDataForeColor LONG,
  SSDBGridBackColor LONG,
  SSDBGridForeColor LONG,
  SSDBGridEvenColor LONG,
  SSDBGridOddColor LONG
);
INSERT INTO UsageColors
  (MainFormBackColor, LabelBackColor, LabelForeColor, SSDataBackColor, SSDataForeColor,
   SSDBGridBackColor, SSDBGridForeColor, SSDBGridEvenColor, SSDBGridOddColor)
VALUES
  (0xF2ECE6, 0x94673A, 0xB3F0FF, 0xE3D6C9, 0x462F1F, 0xFFFFFF, 0x202020, 0xFFFFFF, 0xF8F0E8);

-- The stock-input screen's table is named like the screen itself.
CREATE TABLE ModifyData (
  MainFormBackColor LONG,
  LabelBackColor LONG,
  LabelForeColor LONG,
  SSDataBackColor LONG,
  SSDataForeColor LONG
);
INSERT INTO ModifyData
  (MainFormBackColor, LabelBackColor, LabelForeColor, SSDataBackColor, SSDataForeColor)
VALUES
  (0xF2ECE6, 0x94673A, 0xB3F0FF, 0xE3D6C9, 0x462F1F);

CREATE TABLE List1Colors (
  MainFormBackColor LONG,
  SSDataBackColor LONG,
  SSDataForeColor LONG,
  SSDBGridBackColor LONG,
  SSDBGridForeColor LONG,
  SSDBGridEvenColor LONG,
  SSDBGridOddColor LONG
);
INSERT INTO List1Colors
  (MainFormBackColor, SSDataBackColor, SSDataForeColor,
   SSDBGridBackColor, SSDBGridForeColor, SSDBGridEvenColor, SSDBGridOddColor)
VALUES
  (0xF2ECE6, 0xE3D6C9, 0x462F1F, 0xFFFFFF, 0x202020, 0xFFFFFF, 0xF8F0E8);

CREATE TABLE List2Colors (
  MainFormBackColor LONG,
  SSDataBackColor LONG,
  SSDataForeColor LONG,
  SSDBGridBackColor LONG,
  SSDBGridForeColor LONG,
  SSDBGridEvenColor LONG,
  SSDBGridOddColor LONG
);
INSERT INTO List2Colors
  (MainFormBackColor, SSDataBackColor, SSDataForeColor,
   SSDBGridBackColor, SSDBGridForeColor, SSDBGridEvenColor, SSDBGridOddColor)
VALUES
  (0xF2ECE6, 0xE3D6C9, 0x462F1F, 0xFFFFFF, 0x202020, 0xFFFFFF, 0xF8F0E8);
