// The laws picture and the confirmed quit.
#include "core/picture.h"
#include "core/program_files.h"
#include "forms/message_box.h"
#include "forms/trace.h"
#include "window/form1.h"

void Form1::Command2_Click() {
  Image1.setVisible(false);
  Image2.setVisible(false);
  Image3.setVisible(false);
  Image4.setVisible(false);
  Image3.setTop(0);
  Image3.setLeft(0);
  const std::string laws = std::string(kepler::kLawsPicture);
  Image3.setPicture(kepler::LoadPictureFile(laws), laws);
  Image3.setVisible(true);
}

void Form1::Command3_Click() {
  // はい ends the program the moment it is pressed: a click that reaches the window together with
  // it, before the box has closed, starts nothing.
  const std::string prompt = "本当に終わりますか？";
  const std::string title = "確　　認";
  using forms::MsgBoxAnswer;
  using forms::MsgBoxButtons;
  const MsgBoxAnswer answer = forms::MsgBox(
      prompt, MsgBoxButtons::YesNo, title,
      [this](MsgBoxAnswer reply) { ending_ = ending_ || reply == MsgBoxAnswer::Yes; });
  forms::traceLine("Form1 MsgBox " + forms::quoted(prompt) + ' ' +
                   std::to_string(static_cast<int>(MsgBoxButtons::YesNo)) + ' ' +
                   forms::quoted(title) + " = " + std::to_string(static_cast<int>(answer)));
  if (answer == MsgBoxAnswer::Yes) End(0);
}
