// The laws picture and the confirmed quit.
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
  const std::string laws = ProgramFileName(kepler::kLawsPicture);
  Image3.setPicture(forms::LoadPicture(laws), laws);
  Image3.setVisible(true);
}

void Form1::Command3_Click() {
  // はい ends the program the moment it is pressed: a click that reaches the window together with
  // it, before the box has closed, starts nothing.
  const std::string prompt = "本当に終わりますか？";
  const std::string title = "確　　認";
  const int answer = forms::MsgBox(prompt, forms::kYesNo, title, [this](int reply) {
    ending_ = ending_ || reply == forms::kYes;
  });
  forms::traceLine("Form1 MsgBox " + forms::quoted(prompt) + ' ' + std::to_string(forms::kYesNo) +
                   ' ' + forms::quoted(title) + " = " + std::to_string(answer));
  if (answer == forms::kYes) End(0);
}
