// Traditional zip encryption: three 32-bit keys stepped with every plain byte
// (two CRC-32 table steps and a linear congruential step), a stream byte drawn
// from the third key, and a 12-byte header before the entry's data whose last
// byte lets a reader check the password. It keeps data only from someone who has
// the archive and no password; it does not stand up to a determined attack.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zip {

constexpr int CryptHeaderSize = 12;

class TZipCrypt {
public:
    // Keys set up from the password.
    explicit TZipCrypt(const std::string& password);

    uint8_t StreamByte() const;
    void UpdateKeys(uint8_t plain);
    void Decrypt(uint8_t* buffer, int count);
    void Encrypt(uint8_t* buffer, int count);

    uint32_t Key(int i) const { return FKeys[i]; }

private:
    uint32_t FKeys[3];
};

// The bytes a password keys with, in the order a reader tries them: its GBK form first, as
// Chinese Windows peers key with it and the writer does (names are stored so too), then its
// UTF-8, as tools on UTF-8 systems key with it. One form when both are the same bytes, and
// only the UTF-8 one for a password GBK cannot hold.
std::vector<std::string> PasswordForms(const std::string& password);

// The plain header of a new entry: ten bytes from the system's random source,
// then bits 16-23 and 24-31 of the entry's CRC-32.
void MakeCryptHeader(uint32_t crc, uint8_t header[CryptHeaderSize]);

// The byte a decrypted header ends with: the high byte of the DOS time when the
// sizes follow the data (the CRC is not known when the header is written), else
// the high byte of the CRC-32.
uint8_t CryptCheckByte(uint16_t flags, uint32_t dosDateTime, uint32_t crc);

} // namespace zip
