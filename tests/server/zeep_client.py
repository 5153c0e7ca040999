"""An independent SOAP toolkit against stowline-server: zeep reads the WSDL and calls every
operation. Usage: zeep_client.py PATH-TO-stowline-server
"""
import os
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

import requests
import zeep
import zeep.exceptions
import zeep.transports

SERVER = None
ENDPOINT = "/WebServices/TOVAWebservice/TOVAWebservice.asmx"


def rows(data_set_text):
    """The rows of a data-set text as dicts of column name to text."""
    root = ElementTree.fromstring(data_set_text)
    diffgram = "{urn:schemas-microsoft-com:xml-diffgram-v1}diffgram"
    result = []
    for table in root.findall(f"./DataSet/{diffgram}/NewDataSet/Table"):
        result.append({column.tag: column.text or "" for column in table})
    return result


class ZeepAgainstServer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        database = os.path.join(cls.folder.name, "zeep.db")
        cls.process = subprocess.Popen(
            [SERVER, "--db", database, "--demo-data", "--listen", "127.0.0.1:0"],
            stdout=subprocess.PIPE, text=True)
        cls.server_name = cls.process.stdout.readline().strip()
        if not cls.server_name.startswith("http://127.0.0.1:"):
            cls.process.kill()
            raise RuntimeError(f"the server printed {cls.server_name!r}")
        session = requests.Session()
        session.trust_env = False  # loopback only, whatever proxy the environment names
        transport = zeep.transports.Transport(session=session, timeout=30)
        cls.client = zeep.Client(cls.server_name + ENDPOINT + "?WSDL", transport=transport)
        cls.service = cls.client.service

    @classmethod
    def tearDownClass(cls):
        cls.process.terminate()
        cls.process.wait(timeout=30)
        cls.folder.cleanup()

    def route_by_code(self, code):
        matches = [r for r in rows(self.service.GetDeliveryRoute()) if r["Route"] == code]
        return matches[0] if matches else None

    def test_wsdl_describes_every_operation_at_the_address_used(self):
        binding = next(iter(self.client.wsdl.bindings.values()))
        self.assertEqual(
            sorted(binding._operations),
            sorted(["GetFacilities", "GetDeliveryRoute", "GetStorageLocation",
                    "GetRelativeData", "AddDeliveryRoute", "UpdateDeliveryRoute",
                    "DeleteDeliveryRoute", "AddStorageLocation", "UpdateStorageLocation",
                    "DeleteStorageLocation", "UpdateCenterRouteAndStorageLocation"]))
        port = next(iter(self.client.wsdl.services.values())).ports
        address = next(iter(port.values())).binding_options["address"]
        self.assertEqual(address, self.server_name + ENDPOINT)

    def test_queries_return_the_demo_data_sets(self):
        facilities = rows(self.service.GetFacilities())
        self.assertEqual(len(facilities), 3)
        self.assertIn("Dépôt Sainte-Émilie", [f["Description"] for f in facilities])
        self.assertEqual(len(rows(self.service.GetStorageLocation())), 15)
        centers = rows(self.service.GetRelativeData())
        self.assertEqual(len(centers), 40)
        self.assertIn("Aisle <7> Outlet", [c["CenterName"] for c in centers])
        self.assertIn("Airport & Industrial Park",
                      [r["Description"] for r in rows(self.service.GetDeliveryRoute())])

    def test_route_updates(self):
        self.assertIsNone(self.service.AddDeliveryRoute(FacilityID=2, Route="Z9",
                                                        Description="Zeep & co"))
        added = self.route_by_code("Z9")
        self.assertEqual(added["Description"], "Zeep & co")
        self.assertEqual(added["TOVAFacilityID"], "2")
        route_id = int(added["DeliveryRouteID"])
        self.service.UpdateDeliveryRoute(FacilityID=2, DeliveryRouteID=route_id, Route="Z8",
                                         Description="Renamed <by> zeep")
        self.assertEqual(self.route_by_code("Z8")["Description"], "Renamed <by> zeep")
        self.service.DeleteDeliveryRoute(DeliveryRouteID=route_id)
        self.assertIsNone(self.route_by_code("Z8"))

    def test_storage_location_updates(self):
        self.service.AddStorageLocation(TOVAFacilityID="3", RouteName="Z-1",
                                        Description="Zone zeep")
        added = [s for s in rows(self.service.GetStorageLocation()) if s["RouteName"] == "Z-1"]
        self.assertEqual(len(added), 1)
        location_id = int(added[0]["StorageLocationID"])
        self.service.UpdateStorageLocation(StorageLocationID=location_id, TOVAFacilityID="3",
                                           RouteName="Z-2", Description="Zone zeep 2")
        names = [s["RouteName"] for s in rows(self.service.GetStorageLocation())]
        self.assertIn("Z-2", names)
        self.service.DeleteStorageLocation(StorageLocationID=location_id)
        names = [s["RouteName"] for s in rows(self.service.GetStorageLocation())]
        self.assertNotIn("Z-2", names)

    def test_center_assignment(self):
        self.service.UpdateCenterRouteAndStorageLocation(FacilityID=2, CenterID=1008, RouteID=5,
                                                         StorageLocationID=0)
        center = [c for c in rows(self.service.GetRelativeData()) if c["CenterID"] == "1008"][0]
        self.assertEqual(center["TOVAFacilityID"], "2")
        self.assertEqual(center["DeliveryRouteID"], "5")
        self.assertNotIn("StorageLocationID", center)

    def test_a_refused_update_is_a_client_fault(self):
        with self.assertRaises(zeep.exceptions.Fault) as raised:
            self.service.DeleteDeliveryRoute(DeliveryRouteID=1)
        self.assertEqual(raised.exception.code, "soap:Client")
        self.assertIn("is still assigned to", raised.exception.message)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    SERVER = sys.argv.pop(1)
    unittest.main(verbosity=2)
