#include "application/ProblemsBar.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <iostream>

ProblemsBar::ProblemsBar(QWidget* parent) : QStatusBar(parent), _button(new QPushButton(this)) {
  _button->setFlat(true);
  _button->hide();
  addPermanentWidget(_button);
  connect(_button, &QPushButton::clicked, this, &ProblemsBar::showList);
}

void ProblemsBar::add(const QString& line) {
  const QString problem = line.simplified();
  std::cerr << problem.toLocal8Bit().constData() << std::endl;
  _problems << problem;
  showMessage(problem);
  _button->setText(QString("Problems (%1)...").arg(_problems.size()));
  _button->show();
  if (_list) _list->addItem(problem);
}

void ProblemsBar::showList() {
  if (!_list) {
    auto* window = new QWidget(this, Qt::Window);
    window->setWindowTitle("Problems");
    _list = new QListWidget(window);
    _list->addItems(_problems);
    (new QVBoxLayout(window))->addWidget(_list);
    window->resize(600, 300);
  }
  _list->window()->show();
  _list->window()->raise();
  _list->scrollToBottom();
}
