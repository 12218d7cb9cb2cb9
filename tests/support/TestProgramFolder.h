#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh program folder for one test: a temporary copy of the files the build ships beside the
// program (templates, colours, reports, help), made the AppFolder for the object's lifetime.
class TestProgramFolder {
public:
    TestProgramFolder();
    ~TestProgramFolder();
    TestProgramFolder(const TestProgramFolder&) = delete;
    TestProgramFolder& operator=(const TestProgramFolder&) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

    // Copies a shipped template to Inventory.mdb, as the first start does.
    bool installDatabase(const QString& templateName = QStringLiteral("InventoryAMF.mdb"));

private:
    QTemporaryDir m_dir;
    QString m_previous;
};
