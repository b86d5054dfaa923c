// The laws picture and the confirmed quit.
#include "forms/message_box.h"
#include "window/form1.h"

void Form1::Command2_Click() {
  Image1.setVisible(false);
  Image2.setVisible(false);
  Image3.setVisible(false);
  Image4.setVisible(false);
  Image3.setTop(0);
  Image3.setLeft(0);
  Image3.setPicture(forms::LoadPicture(QStringLiteral("kepler.bmp")), QStringLiteral("kepler.bmp"));
  Image3.setVisible(true);
}

void Form1::Command3_Click() {
  const int answer =
      forms::MsgBox(&window_, QStringLiteral("Form1"), QStringLiteral("本当に終わりますか？"),
                    forms::kYesNo, QStringLiteral("確　　認"));
  if (answer == forms::kYes) End(0);
}
