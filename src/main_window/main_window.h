#pragma once

#include <QWidget>

// Placeholder until the main window layout lands.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr) : QWidget(parent) {}
};
