#pragma once

#include <QMap>
#include <QProcess>

#include <memory>

// What a program run by a test left: its exit code and both outputs. A run that crashed or that did
// not end in time (it is killed, so the suite goes on) has finished false.
struct VkProcessRun
{
    bool finished = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Starts `program` with the test's environment plus `env` (a null value removes the variable), in
// `dir` when one is given; several may run at once before vkFinishProcess collects each.
inline QProcess* vkStartProcess(const QString& program, const QStringList& args,
                                const QMap<QString, QString>& env = {}, const QString& dir = {})
{
    auto* process = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (auto it = env.cbegin(); it != env.cend(); ++it) {
        if (it.value().isNull())
            environment.remove(it.key());
        else
            environment.insert(it.key(), it.value());
    }
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(dir);
    process->start(program, args);
    return process;
}

inline VkProcessRun vkFinishProcess(QProcess* process, int timeoutMs)
{
    const std::unique_ptr<QProcess> owned(process);
    VkProcessRun run;
    if (!process->waitForFinished(timeoutMs)) {
        process->kill();
        process->waitForFinished();
        return run;
    }
    run.finished = process->exitStatus() == QProcess::NormalExit;
    run.exitCode = run.finished ? process->exitCode() : -1;
    run.out = process->readAllStandardOutput();
    run.err = process->readAllStandardError();
    return run;
}

inline VkProcessRun vkRunProcess(const QString& program, const QStringList& args,
                                 const QMap<QString, QString>& env = {}, int timeoutMs = 120000,
                                 const QString& dir = {})
{
    return vkFinishProcess(vkStartProcess(program, args, env, dir), timeoutMs);
}
