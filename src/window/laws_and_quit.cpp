// The laws picture and the confirmed quit.
#include "core/program_files.h"
#include "forms/message_box.h"
#include "window/form1.h"

void Form1::Command2_Click() {
  Image1.setVisible(false);
  Image2.setVisible(false);
  Image3.setVisible(false);
  Image4.setVisible(false);
  Image3.setTop(0);
  Image3.setLeft(0);
  const QString laws = ProgramFileName(kepler::kLawsPicture);
  Image3.setPicture(forms::LoadPicture(laws), laws);
  Image3.setVisible(true);
}

void Form1::Command3_Click() {
  // はい ends the program the moment it is pressed: a click that reaches the window together with
  // it, before the box has closed, starts nothing.
  using forms::MsgBoxAnswer;
  const MsgBoxAnswer answer = forms::MsgBox(
      &window_, QStringLiteral("Form1"), QStringLiteral("本当に終わりますか？"),
      forms::MsgBoxButtons::YesNo, QStringLiteral("確　　認"),
      [this](MsgBoxAnswer reply) { ending_ = ending_ || reply == MsgBoxAnswer::Yes; });
  if (answer == MsgBoxAnswer::Yes) End(0);
}
