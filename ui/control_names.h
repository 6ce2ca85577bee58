// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The names of Form1's controls as the design spells them: the one place each name is written.
#pragma once

#include <array>

// A misspelt constant does not compile, where a misspelt string would stop the program at the
// first look-up.
namespace ui::names {

using Name = const char*;

// The window itself, and the timer that moves the electron.
inline constexpr Name form1 = "Form1";
inline constexpr Name timer1 = "Timer1";

// The four panels: the level diagram, the orbit's figures, the atom, the choice of series.
inline constexpr Name picture1 = "Picture1";
inline constexpr Name picture2 = "Picture2";
inline constexpr Name picture3 = "Picture3";
inline constexpr Name picture4 = "Picture4";

// What the panels hold: the frame of the orbit buttons, the diagram's bitmap, the nucleus.
inline constexpr Name frame1 = "Frame1";
inline constexpr Name image1 = "Image1";
inline constexpr Name shape1 = "Shape1";

// The nucleus's cross (Line1, Line2) and the transition marks (Line3 … Line6).
inline constexpr Name line1 = "Line1";
inline constexpr Name line2 = "Line2";
inline constexpr Name line3 = "Line3";
inline constexpr Name line4 = "Line4";
inline constexpr Name line5 = "Line5";
inline constexpr Name line6 = "Line6";

// The orbit buttons, orbit n's button numbered n.
inline constexpr Name option1 = "Option1";
inline constexpr Name option2 = "Option2";
inline constexpr Name option3 = "Option3";
inline constexpr Name option4 = "Option4";
inline constexpr Name option5 = "Option5";
inline constexpr Name option6 = "Option6";

// The labels, from the heading, Label1, on.
inline constexpr Name label1 = "Label1";
inline constexpr Name label2 = "Label2";
inline constexpr Name label3 = "Label3";
inline constexpr Name label4 = "Label4";
inline constexpr Name label5 = "Label5";
inline constexpr Name label6 = "Label6";
inline constexpr Name label7 = "Label7";
inline constexpr Name label8 = "Label8";
inline constexpr Name label9 = "Label9";
inline constexpr Name label10 = "Label10";
inline constexpr Name label11 = "Label11";
inline constexpr Name label12 = "Label12";
inline constexpr Name label13 = "Label13";
inline constexpr Name label14 = "Label14";
inline constexpr Name label15 = "Label15";
inline constexpr Name label16 = "Label16";
inline constexpr Name label17 = "Label17";
inline constexpr Name label18 = "Label18";
inline constexpr Name label19 = "Label19";
inline constexpr Name label20 = "Label20";
inline constexpr Name label21 = "Label21";
inline constexpr Name label22 = "Label22";
inline constexpr Name label23 = "Label23";
inline constexpr Name label24 = "Label24";
inline constexpr Name label25 = "Label25";
inline constexpr Name label26 = "Label26";
inline constexpr Name label27 = "Label27";
inline constexpr Name label28 = "Label28";
inline constexpr Name label29 = "Label29";
inline constexpr Name label30 = "Label30";
inline constexpr Name label31 = "Label31";
inline constexpr Name label32 = "Label32";
inline constexpr Name label33 = "Label33";
inline constexpr Name label34 = "Label34";
inline constexpr Name label35 = "Label35";
inline constexpr Name label36 = "Label36";
inline constexpr Name label37 = "Label37";
inline constexpr Name label38 = "Label38";
inline constexpr Name label39 = "Label39";
inline constexpr Name label40 = "Label40";
inline constexpr Name label41 = "Label41";
inline constexpr Name label42 = "Label42";
inline constexpr Name label43 = "Label43";
inline constexpr Name label44 = "Label44";
inline constexpr Name label45 = "Label45";
inline constexpr Name label46 = "Label46";
inline constexpr Name label47 = "Label47";
inline constexpr Name label48 = "Label48";

// The orbit buttons in order: orbit n's at n − 1.
inline constexpr std::array options{option1, option2, option3, option4, option5, option6};

} // namespace ui::names
