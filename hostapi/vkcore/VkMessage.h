#pragma once

#include <QVariant>

#include <utility>

// One message handed to a presenter: what happened (id, a code of the receiving presenter) and its data.
class VkMessage
{
public:
    explicit VkMessage(int id, QVariant payload = QVariant())
        : m_id(id)
        , m_payload(std::move(payload))
    {}

    int id() const { return m_id; }
    const QVariant& payload() const { return m_payload; }

private:
    int m_id;
    QVariant m_payload;
};
